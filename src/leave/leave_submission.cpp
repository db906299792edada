#include "leave_submission.h"

#include <optional>

#include "app/platform.h"
#include "app/thread_courier.h"
#include "storage/table.h"

namespace shop::leave {

namespace {

std::atomic<bool> g_busy{false};

// Ends the submission whichever way the routine leaves: the window learns it
// first, then the next click may start another one.
class SubmissionEnd {
public:
    explicit SubmissionEnd(const std::shared_ptr<SubmissionLink>& link) : m_link(link) {}
    ~SubmissionEnd() {
        m_link->running.store(false);
        app::UiCourier::instance().post([link = m_link] {
            if (link->view) link->view->submissionEnded();
        });
        g_busy.store(false);
    }
    SubmissionEnd(const SubmissionEnd&) = delete;
    SubmissionEnd& operator=(const SubmissionEnd&) = delete;

private:
    std::shared_ptr<SubmissionLink> m_link;
};

class TableCloser {
public:
    explicit TableCloser(std::string path) : m_path(std::move(path)) {}
    ~TableCloser() { storage::close(m_path); }
    TableCloser(const TableCloser&) = delete;
    TableCloser& operator=(const TableCloser&) = delete;

private:
    std::string m_path;
};

}  // namespace

bool beginSubmission() {
    bool idle = false;
    return g_busy.compare_exchange_strong(idle, true);
}

void runSubmission(const std::shared_ptr<SubmissionLink>& link, const storage::DataPaths& paths) {
    const SubmissionEnd end(link);
    app::UiCourier& courier = app::UiCourier::instance();
    // Runs `step` on the window's thread if the window still exists; false
    // when it is gone.
    auto onWindow = [&](auto&& step) {
        bool reached = false;
        courier.call([&] {
            if (!link->view) return;
            reached = true;
            step(*link->view);
        });
        return reached;
    };

    std::pair<std::string, std::string> dates;
    if (!onWindow([&](SubmissionView& v) { dates = v.putDateTexts(); })) return;
    onWindow([](SubmissionView& v) { v.clearRecords(); });
    std::string name;
    if (!onWindow([&](SubmissionView& v) { name = v.employeeName(); })) return;

    const std::optional<std::string> path = paths.leaveTable(name);
    if (!path || !openOrCreateLeaveTable(*path)) return;
    const TableCloser closer(*path);

    // A window closed before its decision could be read stores nothing; a
    // decision already taken (the "同意" box confirmed) is still stored.
    auto decision = SubmissionView::Decision::None;
    onWindow([&](SubmissionView& v) { decision = v.decide(); });
    if (decision == SubmissionView::Decision::None) return;

    // The hidden boxes hold what step one put there; once the window is gone
    // the texts taken then stand in for them.
    onWindow([&](SubmissionView& v) { dates = v.hiddenDateTexts(); });
    const char* verdict = decision == SubmissionView::Decision::Refused ? kRefused : kApproved;
    if (!appendLeaveRecord({dates.first, dates.second, verdict})) {
        // The user saw the decision taken: its loss must not pass in silence,
        // even when the window has been closed meanwhile.
        if (!onWindow([](SubmissionView& v) { v.storeFailed(); }))
            app::showMessage(nullptr, QString::fromUtf8(kStoreFailedMessage));
        return;
    }

    const std::vector<LeaveRecord> records = readLeaveRecords();
    onWindow([&](SubmissionView& v) { v.showRecords(records); });
}

}  // namespace shop::leave
