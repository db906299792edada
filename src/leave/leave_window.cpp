#include "leave_window.h"

#include "ui_leave_window.h"

namespace shop::leave {

struct SubmissionLink {};

LeaveWindow::LeaveWindow(QWidget* parent) : FramelessWindow(parent), ui(new Ui::LeaveWindow) {
    ui->setupUi(this);
    setDesignedGeometry(QSize(431, 431));
}

LeaveWindow::~LeaveWindow() = default;

bool LeaveWindow::submissionRunning() const { return false; }

void LeaveWindow::fillNames() {}
void LeaveWindow::chooseEmployee(int) {}
void LeaveWindow::submit() {}

bool waitForSubmissions(int) { return true; }

}  // namespace shop::leave
