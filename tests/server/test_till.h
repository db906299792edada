// A till for the tests: a run folder of its own with the shared catalogue,
// the real sale model selling into it, and (once joined) the real uploader.
#pragma once

#include <atomic>
#include <memory>
#include <string>

#include "checkout/sale_model.h"
#include "server/uploader.h"
#include "support/run_folder.h"

namespace shop::test {

// The catalogue every test till starts with: 可乐 and 面包, 100000 each.
inline const std::vector<std::vector<std::string>> kGoods = {{"可乐", "3", "100000"},
                                                             {"面包", "5", "100000"}};

class TestTill {
public:
    // A run folder made here; `runStart` names its sales table, as the
    // till's clock shows the start.
    TestTill(std::string till, storage::Moment runStart);
    ~TestTill();

    const std::string& dir() const { return m_run.dir(); }
    const std::string& code() const { return m_till; }

    // Joins through the table tool; its exit code, and what it said.
    int join(const std::string& connection, std::string* said = nullptr);

    // The next run starts at this moment of the till's clock.
    void setRunStart(storage::Moment start) { m_start = start; }
    // Opens the run's tables on the calling thread, which must then sell.
    void beginRun();
    // One customer: `units` of goods `goods` (0 or 1), paid cash; true when finished.
    bool sell(int goods, int units);
    // Leaves these lines on the list and records them as the exit does.
    void recordOpenList(const std::vector<std::vector<std::string>>& lines);
    // Closes the run's tables (on the thread that sold).
    void endRun();

    void startUploader(server::UploaderOptions options = {});
    void stopUploader() { m_uploader.reset(); }
    server::UploadStatus status() const;
    int listened() const { return m_heard.load(); }

private:
    std::string m_till;
    RunFolder m_run;
    storage::Moment m_start;
    std::unique_ptr<checkout::SaleModel> m_model;
    std::unique_ptr<server::Uploader> m_uploader;
    std::atomic<int> m_heard{0};
};

// Waits (up to `seconds`) until `done` holds; whether it did.
bool waitUntil(const std::function<bool()>& done, double seconds);

}  // namespace shop::test
