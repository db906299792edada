#include "sale_recovery.h"

#include <filesystem>
#include <system_error>

#include "checkout/sale_journal.h"
#include "storage/table.h"

namespace shop::checkout {

namespace st = shop::storage;
namespace fs = std::filesystem;

namespace {

// The journal names a file in the sales folder, nothing else.
bool isSalesTableName(const std::string& name) {
    const std::string prefix = st::kSalesPrefix;
    return name.size() > prefix.size() + 4 && name.compare(0, prefix.size(), prefix) == 0 &&
           fs::path(name).extension() == ".edb" && st::isSafeTableName(name);
}

// Whether the table holds more records than when the rows were journalled:
// only the run's own exit recording adds to it, so the rows are in it.
bool alreadyStored(const std::string& salesPath, int recorded) {
    std::error_code ec;
    if (!fs::is_regular_file(salesPath, ec)) return false;
    if (st::isOpen(salesPath)) return st::select(salesPath) && st::recordCount() > recorded;
    if (!st::open(salesPath, true)) return false;
    const bool stored = st::recordCount() > recorded;
    st::close(salesPath);
    return stored;
}

RecoveredRun recoverOne(const storage::DataPaths& paths, const std::string& journal,
                        const OpenSale& sale) {
    const std::string prefix = st::kSalesPrefix;
    RecoveredRun run{fs::path(sale.salesTable).stem().string().substr(prefix.size()),
                     static_cast<int>(sale.rows.size()), 0, false};
    const std::string salesPath = st::joinPath(paths.runDir, st::kSalesFolder, sale.salesTable);
    if (sale.rows.empty() || alreadyStored(salesPath, sale.recorded)) {
        run.rows = 0;
        run.stored = removeJournal(journal);
        return run;
    }
    const bool wasOpen = st::isOpen(salesPath);
    const RecordingResult result = recordSales(salesPath, sale.rows);
    if (!wasOpen) st::close(salesPath);
    if (result.outcome == ExitRecording::Failed) return run;
    run.unstorable = static_cast<int>(result.unstorable.size());
    // Once stored the journal goes; should that fail, the record count it
    // holds keeps the next start from storing the rows twice.
    removeJournal(journal);
    run.stored = true;
    return run;
}

}  // namespace

std::vector<RecoveredRun> recoverOpenSales(const storage::DataPaths& paths) {
    std::vector<RecoveredRun> recovered;
    for (const std::string& journal : journalsIn(paths.runDir)) {
        const auto sale = readJournal(journal);
        if (!sale || !isSalesTableName(sale->salesTable)) continue;
        RecoveredRun run = recoverOne(paths, journal, *sale);
        if (run.rows > 0) recovered.push_back(std::move(run));
    }
    return recovered;
}

}  // namespace shop::checkout
