// Every dialog window keeps its controls on a 1280 x 800 screen, whole and
// uncovered.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDateEdit>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include "app/scripted_platform.h"
#include "checkout/amount_label.h"
#include "employees/directory_window.h"
#include "employees/entry_window.h"
#include "layout_check.h"
#include "leave/leave_window.h"
#include "performance/performance_window.h"
#include "products/product_window.h"
#include "receipts/receipt_settings_window.h"
#include "receipts/receipt_window.h"
#include "salary/salary_window.h"
#include "screens_test.h"
#include "support/main_window_driver.h"

namespace shop::test {
namespace {

std::string joined(const QStringList& problems) {
    return problems.join(QLatin1Char('\n')).toStdString();
}

TEST(WindowsOnScreen, TheScreenIsTheTillsSize) {
    EXPECT_EQ(QGuiApplication::primaryScreen()->geometry(), kScreen);
}

template <typename W, typename... Args>
void expectOnScreen(Args&&... args) {
    W window(std::forward<Args>(args)...);
    window.show();
    EXPECT_EQ(joined(layoutProblems(window, kScreen)), std::string()) << typeid(W).name();
}

TEST(WindowsOnScreen, EveryDialogWindow) {
    MainWindowDriver driver;  // the run folder and the checkout area
    auto& main = driver.start();
    expectOnScreen<products::ProductWindow>(main.checkoutArea());
    expectOnScreen<performance::PerformanceWindow>();
    {
        receipts::ReceiptWindow receipt(main.checkoutArea());
        receipt.show();
        EXPECT_EQ(joined(layoutProblems(receipt, kScreen)), std::string()) << "receipt window";
        expectOnScreen<receipts::ReceiptSettingsWindow>(receipt);
    }
    expectOnScreen<employees::DirectoryWindow>();
    expectOnScreen<employees::EntryWindow>();
    expectOnScreen<leave::LeaveWindow>();
    expectOnScreen<salary::SalaryWindow>();
}

// Two-digit months and days keep the whole date, "日" included.
TEST(WindowsOnScreen, LeaveDatesShowWholeOnTwoDigitDays) {
    MainWindowDriver driver;  // the run folder
    driver.start();
    leave::LeaveWindow window;
    window.show();
    for (const char* name : {"日期框_始", "日期框_结束"}) {
        auto* box = window.findChild<QDateEdit*>(QString::fromUtf8(name));
        ASSERT_NE(box, nullptr) << name;
        box->setDate(QDate(2026, 12, 28));
        EXPECT_TRUE(box->text().endsWith(QStringLiteral("日"))) << name;
        EXPECT_LE(box->sizeHint().width(), box->width())
            << name << " cuts " << box->text().toStdString();
    }
}

// The till's own window: designed, maximised, and restored again. Large and
// negative amounts must fit their labels as well.
TEST(WindowsOnScreen, MainWindowRestoredMaximisedAndRestoredAgain) {
    MainWindowDriver driver;
    auto& window = driver.start();
    window.show();
    driver.label("透明标签_余额")->setText(QStringLiteral("-1234567.5元"));
    driver.label("透明标签_找0钱")->setText(QStringLiteral("-1234567.5 元"));
    const auto expectWhole = [&](const char* state) {
        EXPECT_EQ(joined(layoutProblems(window, kScreen)), std::string()) << state;
        for (const char* amount : {"透明标签_余额", "透明标签_找0钱"}) {
            const auto* label = dynamic_cast<const checkout::AmountLabel*>(driver.label(amount));
            ASSERT_NE(label, nullptr);
            EXPECT_LE(QFontMetrics(label->drawnFont()).horizontalAdvance(label->text()),
                      label->contentsRect().width())
                << state << ": " << amount << " is cut";
        }
    };
    expectWhole("designed");
    driver.button("图形按钮1_放大")->click();
    ASSERT_TRUE(window.windowState() & Qt::WindowMaximized);
    EXPECT_EQ(window.geometry(), kScreen);
    expectWhole("maximised");
    driver.button("图形按钮1_放大")->click();
    expectWhole("restored again");
}

}  // namespace
}  // namespace shop::test
