// The 退货 window driven as a cashier drives it: pick the day's receipt,
// set the quantities, confirm.
#include "refunds/refund_window.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTreeWidget>

#include "app/clock.h"
#include "app/scripted_platform.h"
#include "refund_fixture.h"
#include "support/window_probe.h"

namespace shop::refunds {
namespace {

using test::control;
using test::labelText;

class RefundWindowTest : public SoldFixture {
protected:
    app::ScriptedPlatform platform;
    app::ClockOverride clock{[] { return kBack; }};
    static QSpinBox* quantityBox(const QTreeWidget& list, int row) {
        return qobject_cast<QSpinBox*>(list.itemWidget(list.topLevelItem(row), 4));
    }
};

TEST_F(RefundWindowTest, APickedReceiptShowsItsLinesAndTakesBackWhatIsChosen) {
    RefundWindow window(run->sale);
    window.show();
    auto* number = control<QComboBox>(window, "组合框_小票编号");
    auto* list = control<QTreeWidget>(window, "超级列表框_小票商品");
    auto* confirm = control<QPushButton>(window, "图形按钮_确认退货");
    ASSERT_TRUE(number && list && confirm);
    EXPECT_EQ(control<QDateEdit>(window, "日期框_小票日期")->date(), QDate(2024, 3, 5));
    ASSERT_EQ(number->count(), 1);
    EXPECT_EQ(number->itemText(0), kSold);
    EXPECT_FALSE(confirm->isEnabled());

    Q_EMIT number->activated(0);
    ASSERT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(list->topLevelItem(0)->text(0), "方便面");
    EXPECT_EQ(list->topLevelItem(0)->text(2), "3");
    QSpinBox* noodles = quantityBox(*list, 0);
    ASSERT_TRUE(noodles);
    noodles->setValue(2);
    EXPECT_EQ(labelText(window, "透明标签_退款金额"), "退款金额：9元");
    confirm->click();
    EXPECT_TRUE(platform.messages().isEmpty()) << platform.messages().join("|").toStdString();
    EXPECT_EQ(test::readAll(run->salesPath).back()[2], "-2");
    EXPECT_EQ(list->topLevelItem(0)->text(3), "2");  // shown again, as stored

    // One is left: two more is beyond what the receipt sold.
    quantityBox(*list, 0)->setValue(2);
    EXPECT_EQ(labelText(window, "透明标签_提示"), "退货数量超过小票所售数量");
    EXPECT_EQ(quantityBox(*list, 0)->value(), 0);

    number->setEditText("01-20240305-0099");
    QTest::keyClick(number->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(list->topLevelItemCount(), 0);
    EXPECT_EQ(labelText(window, "透明标签_提示"), "找不到这张小票");
    EXPECT_FALSE(confirm->isEnabled());
}

}  // namespace
}  // namespace shop::refunds
