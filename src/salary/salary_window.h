// The salary window: pick an employee, see the salary payments made to them,
// and record a new payment. Non-modal, and it destroys itself when closed:
//   auto* w = new shop::salary::SalaryWindow(parent);
//   if (w->failedToOpen()) delete w; else w->show();
// Give the opening window as parent: a window opened from a modal one stays
// usable only as its child. Never exec() it on the stack.
#pragma once

#include <memory>

#include "app/frameless_window.h"

class QTreeWidgetItem;

namespace Ui {
class SalaryWindow;
}

namespace shop::salary {

class SalaryWindow : public app::FramelessWindow {
    Q_OBJECT

public:
    explicit SalaryWindow(QWidget* parent = nullptr);
    ~SalaryWindow() override;

    // Creation never closes this window: a missing employee table only leaves
    // the tree with its root item.
    bool failedToOpen() const { return false; }

private:
    void fillTree();
    void chooseItem(QTreeWidgetItem* item);
    void showPayments();
    void storePayment();

    std::unique_ptr<Ui::SalaryWindow> ui;
};

}  // namespace shop::salary
