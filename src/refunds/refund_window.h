// 退货 at the till: the cashier types or picks a receipt number, sees its
// lines, sets how many of each come back and confirms. The window shows the
// refund model and forwards these steps to it.
#pragma once

#include <memory>

#include "app/frameless_window.h"
#include "refunds/refund_model.h"

namespace Ui {
class RefundWindow;
}

namespace shop::refunds {

class RefundWindow : public app::FramelessWindow {
public:
    RefundWindow(checkout::SaleModel& sale, QWidget* parent = nullptr);
    ~RefundWindow() override;

    const RefundModel& model() const { return m_model; }

private:
    void listDay();
    void lookUp(const QString& receipt);
    void showReceipt();
    void quantityChanged(int line, int quantity);
    void showAmount();
    void confirm();
    void hint(const QString& text);

    std::unique_ptr<Ui::RefundWindow> ui;
    RefundModel m_model;
};

// Navigation::refundWindow: shows the window modally over `parent`.
void openRefundWindow(QWidget* parent, checkout::SaleModel& sale);

}  // namespace shop::refunds
