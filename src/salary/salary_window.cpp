#include "salary_window.h"

#include "ui_salary_window.h"

namespace shop::salary {

SalaryWindow::SalaryWindow(QWidget* parent) : FramelessWindow(parent), ui(new Ui::SalaryWindow) {
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setDesignedGeometry(QSize(425, 485));
}

SalaryWindow::~SalaryWindow() = default;

void SalaryWindow::fillTree() {}
void SalaryWindow::chooseItem(QTreeWidgetItem*) {}
void SalaryWindow::storePayment() {}

}  // namespace shop::salary
