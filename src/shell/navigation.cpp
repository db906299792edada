#include "navigation.h"

#include "dayclose/day_close_window.h"
#include "employees/directory_window.h"
#include "leave/leave_window.h"
#include "performance/performance_window.h"
#include "products/product_window.h"
#include "receipts/receipt_window.h"
#include "refunds/refund_window.h"

namespace shop::shell {

namespace {

// A window made anew for each opening, shown modally unless its creation
// already failed (it then said so itself).
template <typename Window>
void openModal(QWidget* parent) {
    Window window(parent);
    if (!window.failedToOpen()) window.exec();
}

}  // namespace

shop::app::Navigation buildNavigation() {
    shop::app::Navigation nav;
    nav.productWindow = &products::openProductWindow;
    nav.performanceWindow = &openModal<performance::PerformanceWindow>;
    nav.employeeDirectory = &openModal<employees::DirectoryWindow>;
    nav.leaveWindow = &openModal<leave::LeaveWindow>;
    nav.receiptWindow = &receipts::openReceiptWindow;
    nav.saleReceipt = &receipts::openSaleReceipt;
    nav.refundWindow = &refunds::openRefundWindow;
    nav.dayClose = &dayclose::openDayClose;
    return nav;
}

}  // namespace shop::shell
