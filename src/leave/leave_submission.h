// A leave submission: the work one click on the submit button starts on a
// background thread. The thread does the table work itself and hands every
// look at or change of a control to the window's thread; a window that has
// been closed meanwhile is never touched.
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "leave_records.h"
#include "storage/data_paths.h"

namespace shop::leave {

// The window as a submission sees it. Every call runs on the window's thread.
class SubmissionView {
public:
    enum class Decision { None, Refused, Approved };

    // Puts the date texts of the two date pickers into the hidden boxes and
    // returns them (start, end).
    virtual std::pair<std::string, std::string> putDateTexts() = 0;
    virtual void clearRecords() = 0;
    virtual std::string employeeName() const = 0;
    // The decision of the radio buttons; for an approval the "同意" box has
    // been shown and dismissed before this returns. May be the last call the
    // window sees: it can be closed while the box is up.
    virtual Decision decide() = 0;
    // The texts of the hidden boxes (start, end).
    virtual std::pair<std::string, std::string> hiddenDateTexts() const = 0;
    virtual void showRecords(const std::vector<LeaveRecord>& records) = 0;
    // The request was not stored (nothing of it was): say so, with `why`.
    virtual void notStored(const char* why) = 0;
    virtual void submissionEnded() = 0;

protected:
    ~SubmissionView() = default;
};

// Shared by a window and its submissions. `view` is read and cleared on the
// window's thread only; the window clears it when it is destroyed.
struct SubmissionLink {
    SubmissionView* view = nullptr;
    std::atomic<bool> running{false};
};

// One submission at a time in the whole program, so two never write a leave
// table at once. False while another one runs (that click is then ignored).
bool beginSubmission();

// The submission itself, run on the background thread after a successful
// beginSubmission(); ends it on every path.
void runSubmission(const std::shared_ptr<SubmissionLink>& link, const storage::DataPaths& paths);

}  // namespace shop::leave
