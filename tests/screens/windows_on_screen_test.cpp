// Every window keeps its controls on the screen of this run, whole and
// uncovered, with the main window as designed, maximised, and restored again:
// the three states a till meets in a day.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDateEdit>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <algorithm>

#include "app/scripted_platform.h"
#include "checkout/amount_label.h"
#include "dayclose/day_close_window.h"
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

QRect available() { return QGuiApplication::primaryScreen()->availableGeometry(); }

TEST(WindowsOnScreen, TheScreenIsTheOneThisRunNamed) {
    EXPECT_EQ(QGuiApplication::primaryScreen()->geometry(), testScreen());
}

// Where the main window is when the other windows open.
enum class MainState { Designed, Maximised, RestoredAgain };

std::string stateName(const ::testing::TestParamInfo<MainState>& info) {
    switch (info.param) {
        case MainState::Designed:
            return "Designed";
        case MainState::Maximised:
            return "Maximised";
        case MainState::RestoredAgain:
            return "RestoredAgain";
    }
    return "Unknown";
}

class EveryWindow : public ::testing::TestWithParam<MainState> {
protected:
    MainWindowDriver driver;  // the run folder and the checkout area
    checkout::MainWindow* main = nullptr;

    void SetUp() override {
        main = &driver.start();
        main->show();
        if (GetParam() != MainState::Designed) driver.click("图形按钮1_放大");
        if (GetParam() == MainState::RestoredAgain) driver.click("图形按钮1_放大");
    }

    QWidget* control(const char* name) const { return driver.child<QWidget>(name); }
    // A control's rectangle in the main window's coordinates.
    QRect inWindow(const char* name) const {
        const QWidget* w = control(name);
        return QRect(w->mapTo(main, QPoint(0, 0)), w->size());
    }

    template <typename W, typename... Args>
    void expectOnScreen(const char* what, Args&&... args) {
        W window(std::forward<Args>(args)...);
        window.show();
        EXPECT_EQ(joined(layoutProblems(window, available())), std::string()) << what;
    }
};

TEST_P(EveryWindow, TheMainWindowIsWhole) {
    if (GetParam() == MainState::Maximised) {
        ASSERT_TRUE(main->windowState() & Qt::WindowMaximized);
        EXPECT_EQ(main->geometry(), testScreen());
    } else {
        EXPECT_EQ(main->windowState(), Qt::WindowNoState);
        EXPECT_EQ(main->size(), QSize(899, 586));
    }
    EXPECT_EQ(joined(layoutProblems(*main, available())), std::string());

    // The hint in the goods box is read whole, not cut short.
    const QLineEdit* goods = driver.goods()->lineEdit();
    EXPECT_LE(goods->fontMetrics().horizontalAdvance(goods->placeholderText()),
              goods->contentsRect().width() - 4)
        << goods->placeholderText().toStdString() << " is cut";

    // Large and negative amounts fit their labels.
    driver.label("透明标签_余额")->setText(QStringLiteral("-1234567.5元"));
    driver.label("透明标签_找0钱")->setText(QStringLiteral("-1234567.5 元"));
    for (const char* amount : {"透明标签_余额", "透明标签_找0钱"}) {
        const auto* label = dynamic_cast<const checkout::AmountLabel*>(driver.label(amount));
        ASSERT_NE(label, nullptr);
        EXPECT_LE(QFontMetrics(label->drawnFont()).horizontalAdvance(label->text()),
                  label->contentsRect().width())
            << amount << " is cut";
    }
}

// The decorations the layout rules do not place go where the controls are:
// the title buttons at the band's right end, the footer along the bottom
// under the list, the amounts' panel behind the amounts.
TEST_P(EveryWindow, TheMainWindowsDecorationsFollowItsLayout) {
    const QRect band = inWindow("图片框2");
    EXPECT_EQ(band.right(), main->width() - 1) << "the title band reaches the right edge";
    const QRect close = inWindow("图形按钮1_关闭");
    EXPECT_GE(close.right(), main->width() - 8) << "the close button ends the band";
    EXPECT_LT(inWindow("图形按钮1_放大").right(), close.left());
    EXPECT_LT(inWindow("图形按钮1_易").right(), inWindow("图形按钮1_放大").left());

    const QWidget* page = control("选择夹1_收银");
    const QRect pageRect(page->mapTo(main, QPoint(0, 0)), page->size());
    const QRect footer = inWindow("图片框_背景1");
    const QRect list = inWindow("超级列表框_产品结账");
    const QRect group = inWindow("分组框_计算区域");
    EXPECT_GE(footer.bottom(), pageRect.bottom() - 8) << "the footer is on the page's bottom";
    EXPECT_LE(footer.bottom(), pageRect.bottom());
    EXPECT_FALSE(footer.intersects(list)) << "the footer crosses the list";
    EXPECT_FALSE(footer.intersects(group)) << "the footer crosses the checkout group";
    EXPECT_LE(footer.left(), list.left());
    EXPECT_GE(footer.right(), list.right()) << "the footer runs under the whole list";

    const QRect panel = inWindow("图片框_背景");
    EXPECT_TRUE(group.contains(panel));
    EXPECT_GT(panel.top(), inWindow("图形按钮_生成账单").bottom())
        << "the panel lies under buttons";
    for (const char* amount : {"标签_当前余额", "编辑框1_当前余额", "透明标签_余额",
                               "透明标签_消费金额", "透明标签_找0钱", "透明标签_找零钱"})
        EXPECT_TRUE(panel.contains(inWindow(amount))) << amount << " lies off its panel";

    const QRect status = inWindow("状态条1");
    EXPECT_EQ(status.bottom(), main->height() - 1);
    EXPECT_EQ(status.width(), main->width());
}

// Maximised, the counter is the designed one grown to the screen: every
// control of the checkout group and its type by one factor, so an amount
// stands to its caption as designed, and the list and the group span the
// page with no strip left empty beside them.
TEST(WindowsOnScreen, TheMaximisedCounterGrowsWithTheScreen) {
    MainWindowDriver driver;
    checkout::MainWindow& main = driver.start();
    main.show();
    struct Look {
        QWidget* w;
        QRect geometry;
        qreal points;
    };
    QWidget* group = driver.child<QWidget>("分组框_计算区域");
    std::vector<Look> designed;
    for (QWidget* w : group->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        designed.push_back({w, w->geometry(), w->font().pointSizeF()});
    const int listWidth = driver.list()->width(), groupWidth = group->width();
    driver.click("图形按钮1_放大");

    const QSize screen = testScreen().size();
    const double s = std::max(1.0, std::min(screen.width() / 899.0, screen.height() / 586.0));
    for (const Look& d : designed) {
        const std::string name = d.w->objectName().toStdString();
        EXPECT_NEAR(d.w->font().pointSizeF(), d.points * s, 0.01) << name;
        // The amounts' panel alone reaches down to the group's bottom.
        if (d.w->objectName() != QStringLiteral("图片框_背景")) {
            EXPECT_NEAR(d.w->height(), d.geometry.height() * s, 1.0) << name;
        }
        EXPECT_NEAR(d.w->y(), d.geometry.y() * s, 1.0) << name;
    }
    EXPECT_NEAR(group->width(), groupWidth * s, 1.0);
    EXPECT_GE(driver.list()->width(), listWidth * s);
    const QWidget* page = driver.child<QWidget>("选择夹1_收银");
    EXPECT_GE(group->geometry().right(), page->width() - 1 - 4) << "a strip right of the group";
    EXPECT_GE(group->mapTo(&main, QPoint(group->width(), 0)).x(), main.width() - 8);
}

TEST_P(EveryWindow, TheDialogWindowsAreWhole) {
    expectOnScreen<products::ProductWindow>("product window", main->checkoutArea());
    expectOnScreen<performance::PerformanceWindow>("performance window");
    {
        receipts::ReceiptWindow receipt(main->checkoutArea());
        receipt.show();
        EXPECT_EQ(joined(layoutProblems(receipt, available())), std::string()) << "receipt window";
        expectOnScreen<receipts::ReceiptSettingsWindow>("receipt settings window", receipt);
    }
    expectOnScreen<employees::DirectoryWindow>("employee directory");
    expectOnScreen<employees::EntryWindow>("employee entry form");
    expectOnScreen<leave::LeaveWindow>("leave window");
    expectOnScreen<salary::SalaryWindow>("salary window");
    expectOnScreen<dayclose::DayCloseWindow>("day close window");
}

INSTANTIATE_TEST_SUITE_P(WindowsOnScreen, EveryWindow,
                         ::testing::Values(MainState::Designed, MainState::Maximised,
                                           MainState::RestoredAgain),
                         stateName);

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

}  // namespace
}  // namespace shop::test
