// Every window opens centred over the window that opened it and whole on the
// screen, wherever that window stands: the till as designed, maximised, or
// dragged into a corner with part of it off the screen.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <functional>

#include "employees/directory_window.h"
#include "employees/entry_window.h"
#include "leave/leave_window.h"
#include "performance/performance_window.h"
#include "products/product_window.h"
#include "receipts/receipt_settings_window.h"
#include "receipts/receipt_window.h"
#include "salary/salary_window.h"
#include "support/main_window_driver.h"

namespace shop::test {
namespace {

QRect available() { return QGuiApplication::primaryScreen()->availableGeometry(); }

// Along one axis: the window's centre is the opener's, or the window touches
// the screen's edge on the side the opener's centre lies beyond.
void expectCentredOrAtEdge(const char* what, const char* axis, int centre, int openerCentre, int lo,
                           int hi, int screenLo, int screenHi) {
    if (std::abs(centre - openerCentre) <= 1) return;
    if (openerCentre < centre) {
        EXPECT_EQ(lo, screenLo) << what << ": not centred along " << axis;
    } else {
        EXPECT_EQ(hi, screenHi) << what << ": not centred along " << axis;
    }
}

void expectPlacedOver(const QWidget& window, const QWidget& opener, const char* what) {
    const QRect w = window.frameGeometry(), o = opener.frameGeometry(), s = available();
    EXPECT_TRUE(s.contains(w)) << what << " is not whole on the screen";
    expectCentredOrAtEdge(what, "x", w.center().x(), o.center().x(), w.left(), w.right(), s.left(),
                          s.right());
    expectCentredOrAtEdge(what, "y", w.center().y(), o.center().y(), w.top(), w.bottom(), s.top(),
                          s.bottom());
}

template <typename W, typename... Args>
void expectOpensOver(QWidget& opener, const char* what, Args&&... args) {
    W window(std::forward<Args>(args)..., &opener);
    window.show();
    expectPlacedOver(window, opener, what);
}

struct OpenerPlace {
    const char* name;
    std::function<void(checkout::MainWindow&)> put;
};

std::string placeName(const ::testing::TestParamInfo<OpenerPlace>& place) {
    return place.param.name;
}

class WindowPlacement : public ::testing::TestWithParam<OpenerPlace> {
protected:
    MainWindowDriver driver;
    checkout::MainWindow* main = nullptr;

    void SetUp() override {
        main = &driver.start();
        main->show();
        GetParam().put(*main);
    }
};

TEST_P(WindowPlacement, EachWindowOpensCentredOverItsOpenerAndWhole) {
    expectOpensOver<products::ProductWindow>(*main, "product window", main->checkoutArea());
    expectOpensOver<performance::PerformanceWindow>(*main, "performance window");
    expectOpensOver<leave::LeaveWindow>(*main, "leave window");
    {
        employees::DirectoryWindow directory(main);
        directory.show();
        expectPlacedOver(directory, *main, "employee directory");
        expectOpensOver<employees::EntryWindow>(directory, "entry form");
        expectOpensOver<salary::SalaryWindow>(directory, "salary window");
        expectOpensOver<leave::LeaveWindow>(directory, "leave window from the directory");
    }
    // The receipt has no owner; it still opens over the till, and its
    // settings window over the receipt.
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* receipt = dynamic_cast<receipts::ReceiptWindow*>(QApplication::activeModalWidget());
        ASSERT_NE(receipt, nullptr);
        seen = true;
        expectPlacedOver(*receipt, *main, "receipt window");
        expectOpensOver<receipts::ReceiptSettingsWindow>(*receipt, "receipt settings", *receipt);
        receipt->storeAndClose();
    });
    receipts::openReceiptWindow(main, main->checkoutArea());
    EXPECT_TRUE(seen);
}

INSTANTIATE_TEST_SUITE_P(
    WindowsOnScreen, WindowPlacement,
    ::testing::Values(OpenerPlace{"AsDesigned", [](checkout::MainWindow&) {}},
                      OpenerPlace{
                          "Maximised",
                          [](checkout::MainWindow& w) {
                              w.findChild<QPushButton*>(QStringLiteral("图形按钮1_放大"))->click();
                          }},
                      OpenerPlace{"InTheTopLeftCornerPartlyOff",
                                  [](checkout::MainWindow& w) {
                                      w.move(available().topLeft() - QPoint(400, 300));
                                  }},
                      OpenerPlace{"InTheBottomRightCornerPartlyOff",
                                  [](checkout::MainWindow& w) {
                                      w.move(available().bottomRight() - QPoint(300, 200));
                                  }}),
    placeName);

}  // namespace
}  // namespace shop::test
