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

    // Whatever stops a request from being stored is said, even when the
    // window has been closed meanwhile.
    auto notStored = [&](const char* why) {
        if (!onWindow([why](SubmissionView& v) { v.notStored(why); }))
            app::showMessage(nullptr, QString::fromUtf8(why));
    };

    std::pair<std::string, std::string> dates;
    std::string name;
    if (!onWindow([&](SubmissionView& v) { dates = v.putDateTexts(); }) ||
        !onWindow([](SubmissionView& v) { v.clearRecords(); }) ||
        !onWindow([&](SubmissionView& v) { name = v.employeeName(); })) {
        notStored(kStoreFailedMessage);  // closed before the request could be read
        return;
    }

    const std::optional<std::string> path = paths.leaveTable(name);
    if (!path || !openOrCreateLeaveTable(*path)) {
        notStored(kStoreFailedMessage);
        return;
    }
    const TableCloser closer(*path);

    // A decision already taken (the "同意" box confirmed) is stored even when
    // the window has been closed since.
    auto decision = SubmissionView::Decision::None;
    onWindow([&](SubmissionView& v) { decision = v.decide(); });
    if (decision == SubmissionView::Decision::None) {
        notStored(kNoDecision);
        return;
    }

    // The hidden boxes hold what step one put there; once the window is gone
    // the texts taken then stand in for them.
    onWindow([&](SubmissionView& v) { dates = v.hiddenDateTexts(); });
    const char* verdict = decision == SubmissionView::Decision::Refused ? kRefused : kApproved;
    if (!appendLeaveRecord({dates.first, dates.second, verdict})) {
        notStored(kStoreFailedMessage);
        return;
    }

    const std::vector<LeaveRecord> records = readLeaveRecords();
    onWindow([&](SubmissionView& v) { v.showRecords(records); });
}

}  // namespace shop::leave
