// The start window: the checkout counter, the navigation to every other
// window, and the run's tables. It lives for the whole run; the process ends
// from its close button (recording the run's sales) or silently while it is
// being created, when a table it needs cannot be opened.
#pragma once

#include <QFont>
#include <QKeySequence>
#include <QRect>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "app/checkout_area.h"
#include "app/navigation.h"

class QLineEdit;
class QTimer;

namespace Ui {
class MainWindow;
}

namespace shop::checkout {

class SaleModel;
struct FinishedSale;
struct RecoveredRun;
struct ScanText;
struct CounterScan;
struct BoxBurst;
using app::CheckoutArea;
using app::Navigation;

class MainWindow : public QWidget {
public:
    explicit MainWindow(const Navigation& nav, QWidget* parent = nullptr);
    ~MainWindow() override;

    CheckoutArea checkoutArea() const;

    // True when the creation step asked to end the process (a table did not
    // open); the window is then not usable. Only seen where ending the
    // process returns, as in tests.
    bool failedToStart() const { return m_failedToStart; }

    // This run's sales table, named after the moment the window was created.
    const std::string& runSalesPath() const { return m_runSalesPath; }

    // The checkout this window shows.
    SaleModel& sale() const { return *m_sale; }

    // The session ends (a signal, the desktop's logout): the exit recording,
    // then the process ends whatever its outcome (the journal keeps what
    // could not be stored).
    void endSession();

    // The till's keys, named in the tooltips of what they reach.
    static const QKeySequence kTenderedKey;
    static const QKeySequence kDeleteKey;
    static const QKeySequence kClearKey;
    static const QKeySequence kReceiptKey;
    static const QKeySequence kSaveKey;
    static const QKeySequence kPaymentKey;
    // 现金, 微信, 支付宝, 银行卡 in the payment method box.
    static const QKeySequence kMethodKeys[4];

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Creation step and wiring (main_window.cpp).
    bool startUp();
    void failStart(const std::string& what);
    void tellRecoveredSales(const std::vector<RecoveredRun>& runs);
    void decorate();
    void connectHandlers();
    void leave();
    bool recordRun();
    void keepRollingBackup();

    // Checkout handlers (main_window_checkout.cpp).
    void lookUpGoods();
    bool addRow();
    void deleteRow();
    void clearRows();
    void showLines();
    void showChange();
    void showJournalWarning();
    void goodsReplaced();
    void saveGoodsList();
    void rememberRow();
    void showRememberedRow();
    void takePayment();  // main_window_payment.cpp
    void saleFinished(const FinishedSale& sale);
    void setUpPayment();

    // The keyboard at the till (main_window_keys.cpp).
    void setUpKeyboard();
    void addRowAndGoBackToGoods();
    void focusGoods();

    // Scanning at the counter (main_window_scan.cpp).
    void setUpScanning();
    bool scanFromGoodsBox();
    bool scanFromOtherBox(QEvent* event, QLineEdit* box, BoxBurst& burst);
    void noteKey(QEvent* event, const QLineEdit* box, BoxBurst& burst);
    void sellScanned(const ScanText& scan);
    void startReadingCodes();
    void takeCodes();
    int goodsPosition(const std::string& name);
    void registerScannedCode();
    void placeRegisterButton();
    void codesMayHaveChanged();

    // Maximise and restore (main_window_layout.cpp).
    void toggleMaximised();
    void maximiseLayout();
    void restoreLayout();
    void fitToWindow();  // main_window_fit.cpp
    // The counter scaled to the screen (main_window_scale.cpp).
    void keepDesignedLayout();
    void putBackDesignedLayout();
    void scaleDesignedLayout(double s);
    double counterScale(QSize screen) const;
    void scaleCounterTo(QSize screen);

    std::unique_ptr<Ui::MainWindow> ui;
    Navigation m_nav;
    QTimer* m_timer = nullptr;  // 时钟1

    std::string m_productSavePath;
    std::string m_productPath;
    std::string m_runSalesPath;
    SaleModel* m_sale = nullptr;          // the open list, its amounts, its journal
    std::unique_ptr<CounterScan> m_scan;  // the codes and the scanner's keys

    // The last row chosen in the list: what 删除 removes.
    int m_rememberedRow = 0;
    // The goods item whose lookup ran last, and whether it read the
    // catalogue: only that item can be added at the price shown.
    int m_picked = -1;
    bool m_pickFound = false;

    bool m_failedToStart = false;
    bool m_leaving = false;

    // Where the window stood before maximising, and every control of the
    // checkout page as designed, so that restore puts them all back.
    QRect m_normalGeometry;
    QSize m_paneInset{4, 4};  // the tab control's pane frame, both sides
    struct Designed {
        struct Place {
            QWidget* widget;
            QRect geometry;
            QFont font;
            QSize iconSize;
        };
        QSize window;
        QRect tabs;
        std::vector<Place> places;
        std::vector<int> columns;
    };
    Designed m_designed;
};

}  // namespace shop::checkout
