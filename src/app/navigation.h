// How the main window opens the other windows. The executable wires these;
// an unset opener opens nothing.
#pragma once

#include <functional>

#include "checkout_area.h"

class QWidget;

namespace shop::checkout {
struct FinishedSale;
class SaleModel;
}  // namespace shop::checkout

namespace shop::app {

struct Navigation {
    // Each shows its window modally and returns when it is closed.
    std::function<void(QWidget* parent, const CheckoutArea& checkout)> productWindow;
    std::function<void(QWidget* parent)> performanceWindow;
    std::function<void(QWidget* parent)> employeeDirectory;
    std::function<void(QWidget* parent)> leaveWindow;
    std::function<void(QWidget* parent, const CheckoutArea& checkout)> receiptWindow;
    // The receipt of a sale just finished at 收款.
    std::function<void(QWidget* parent, const checkout::FinishedSale& sale)> saleReceipt;
    // The 更多功能 menu's entries. A refund goes through the till's sale
    // model: its lines, ticket and stock are stored as a sale's are.
    std::function<void(QWidget* parent, checkout::SaleModel& sale)> refundWindow;
    std::function<void(QWidget* parent)> dayClose;
};

}  // namespace shop::app
