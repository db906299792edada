// The on-screen receipt: a header kept in the settings file, and the goods
// lines, total, change and time either copied on demand from the main
// window's checkout area (a list not yet paid) or taken from a sale finished
// at 收款, which adds its payment and receipt number.
#pragma once

#include <memory>

#include "app/checkout_area.h"
#include "app/frameless_window.h"

class QLabel;
class QMenu;

namespace Ui {
class ReceiptWindow;
}

namespace shop::settings {
struct ReceiptHeader;
}

namespace shop::checkout {
struct FinishedSale;
}

namespace shop::receipts {

using settings::ReceiptHeader;
struct ReceiptContent;
struct ReceiptGoods;
struct ReceiptPayment;

// The four labels that show the receipt header.
struct HeaderLabels {
    QLabel* shopName = nullptr;  // 透明_店铺名字
    QLabel* machine = nullptr;   // 透明_机码
    QLabel* cashier = nullptr;   // 透明_收银员
    QLabel* address = nullptr;   // 透明_消费地址
};

class ReceiptWindow : public app::FramelessWindow {
public:
    // Reads the header from the settings file. Shown, it stands centred over
    // its opener.
    explicit ReceiptWindow(const app::CheckoutArea& checkout, QWidget* parent = nullptr);
    // The receipt of a finished sale, shown at once: its lines, amounts,
    // payment and number. It has nothing to generate, so no generate button,
    // and it stands taller by the payment lines.
    explicit ReceiptWindow(const checkout::FinishedSale& sale, QWidget* parent = nullptr);
    ~ReceiptWindow() override;

    HeaderLabels headerLabels() const;
    ReceiptHeader header() const;

    // 图形按钮_生成账单: copies the checkout rows, total, change and time.
    // A change below zero (too little handed over yet) is left out.
    void generate();
    // The header was replaced from the settings window: the footer's shop
    // name, once shown, follows it.
    void headerApplied();
    // 图形按钮1_关闭5: stores the header in the settings file, then closes;
    // a header that could not be stored is reported.
    void storeAndClose();
    // Closing by the keyboard or the window system stores the header too, so
    // a header applied from the settings window is never lost silently.
    void reject() override;
    // 图形按钮_小窗口2: the settings window, modally.
    void openSettings();

    // The receipt's pop-up menu (right click on the paper) offers printing
    // and saving as PDF; both put out the receipt as it is shown.
    QMenu* outputMenu() const { return m_outputMenu; }
    ReceiptContent content() const;
    // The print dialog, then the printer; a machine without printers says so.
    void printReceipt();
    // Straight to the default printer, as the settings may ask for after
    // 收款; a machine without printers says so. False when nothing printed.
    bool printAtOnce();
    // A file name from the save dialog, then the PDF; a failed write is said.
    void saveReceiptPdf();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ReceiptWindow(QWidget* parent, const app::CheckoutArea& checkout);
    void showGoods(const ReceiptGoods& goods);
    void showPayment(const ReceiptPayment& payment);
    QLabel* paymentValue(int line) const;  // the values beside 透明标签_收款
    void placeValues();
    void layoutColumns();
    void setUpOutputMenu();

    std::unique_ptr<Ui::ReceiptWindow> ui;
    app::CheckoutArea m_checkout;
    bool m_sale = false;     // the receipt of a finished sale
    int m_amountsRight = 0;  // where the line amounts end, without a scroll bar
    QMenu* m_outputMenu = nullptr;
};

// What the main window's 图形按钮_生成账单 does: the receipt window, centred
// over `mainWindow`, shown modally without an owner; `mainWindow` is enabled
// before and after.
void openReceiptWindow(QWidget* mainWindow, const app::CheckoutArea& checkout);

// Whether the settings file asks for a sale's receipt to be printed at once.
bool printsAtPayment();

// What 收款 shows: the receipt of the sale, opened as the receipt window is,
// and first printed when the settings file asks for it.
void openSaleReceipt(QWidget* mainWindow, const checkout::FinishedSale& sale);

}  // namespace shop::receipts
