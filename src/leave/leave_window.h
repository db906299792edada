// The leave window: pick an employee, see their past leave requests, and
// submit a new request with its decision. Opened modally:
//   shop::leave::LeaveWindow w(parent); if (!w.failedToOpen()) w.exec();
#pragma once

#include <functional>
#include <memory>

#include "app/frameless_window.h"
#include "leave_submission.h"

namespace Ui {
class LeaveWindow;
}

namespace shop::leave {

class LeaveWindow : public app::FramelessWindow, private SubmissionView {
    Q_OBJECT

public:
    // Starts a submission's work off the window's thread. Empty means the
    // program's thread starter; tests pass one whose work they can await.
    using Executor = std::function<void(std::function<void()>)>;

    explicit LeaveWindow(QWidget* parent = nullptr, Executor executor = {});
    ~LeaveWindow() override;

    // Creation never closes this window: a missing employee table only leaves
    // the name list empty.
    bool failedToOpen() const { return false; }

    // Starts on the employee at `index` of the name list (record index + 1),
    // as if chosen there; an index without an employee chooses nothing.
    void startOn(int index);

    // Whether a submission started from this window is still running.
    bool submissionRunning() const;

Q_SIGNALS:
    // A submission started from this window has ended (emitted on the
    // window's thread, only while the window lives).
    void submissionFinished();

private:
    void fillNames();
    void chooseEmployee(int index);
    void submit();

    // What a running submission asks of the window.
    std::pair<std::string, std::string> putDateTexts() override;
    void clearRecords() override;
    std::string employeeName() const override;
    Decision decide() override;
    std::pair<std::string, std::string> hiddenDateTexts() const override;
    void showRecords(const std::vector<LeaveRecord>& records) override;
    void notStored(const char* why) override;
    void submissionEnded() override;

    std::unique_ptr<Ui::LeaveWindow> ui;
    std::shared_ptr<SubmissionLink> m_link;
    Executor m_executor;
};

}  // namespace shop::leave
