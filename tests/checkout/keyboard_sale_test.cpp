// A sale at the till with the keyboard alone: goods found by typing, Enter
// adds the row and returns to the goods, one key reaches the tendered box,
// and the checkout buttons answer to the keys their tooltips name.
#include <gtest/gtest.h>

#include <QApplication>
#include <QInputMethodEvent>
#include <QTest>

#include "support/main_window_driver.h"

namespace shop::test {
namespace {

using checkout::MainWindow;

class KeyboardSaleTest : public ::testing::Test {
protected:
    MainWindowDriver d;
    int receipts = 0;

    void SetUp() override {
        d.run.setProducts({{"可口可乐", "3", "5"}, {"矿泉水", "1.5", "9"}, {"面包", "4元", "3"}});
        d.run.setProductSave({"可口可乐", "矿泉水", "面包"});
        app::Navigation nav;
        nav.receiptWindow = [this](QWidget*, const app::CheckoutArea&) { ++receipts; };
        d.start(nav);
        ASSERT_FALSE(d.platform.exited());
        d.window->show();
        QApplication::setActiveWindow(d.window.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(d.window.get()));
    }
    QWidget* focused() const { return QApplication::focusWidget(); }
    // Keys go where the window system sends them: to an open list first.
    static QWidget* keyTarget() {
        QWidget* popup = QApplication::activePopupWidget();
        return popup ? popup : QApplication::focusWidget();
    }
    // Types into whatever has the focus, as a cashier does.
    // Chinese comes from the input method, the rest from single keys.
    void type(const QString& text) {
        if (text.front().unicode() < 0x80) {
            QTest::keyClicks(keyTarget(), text);
            return;
        }
        QInputMethodEvent commit;
        commit.setCommitString(text);
        QCoreApplication::sendEvent(keyTarget(), &commit);
    }
    void press(QKeySequence keys) {
        const QKeyCombination k = keys[0];
        QTest::keyClick(keyTarget(), k.key(), k.keyboardModifiers());
    }
    void sellByKeys(const QString& search, const QString& quantity) {
        type(search);
        press(Qt::Key_Return);
        type(quantity);
        press(Qt::Key_Return);
    }
};

TEST_F(KeyboardSaleTest, AWholeSaleByKeysAlone) {
    d.goods()->setFocus();
    sellByKeys(QStringLiteral("kqs"), QStringLiteral("4"));  // pinyin initials
    EXPECT_EQ(focused(), d.goods()) << "back at the goods for the next item";
    type(QStringLiteral("面"));  // part of the name
    EXPECT_EQ(d.goods()->lineEdit()->text(), QStringLiteral("面"));
    press(Qt::Key_Return);
    EXPECT_EQ(d.price()->text(), "4元");
    type(QStringLiteral("2"));
    press(Qt::Key_Return);
    press(MainWindow::kTenderedKey);
    EXPECT_EQ(focused(), d.tendered());
    type(QStringLiteral("20"));

    ASSERT_EQ(d.rows().size(), 2u);
    EXPECT_EQ(d.rows()[0][0], "矿泉水");
    EXPECT_EQ(d.rows()[0][1], "1.5");
    EXPECT_EQ(d.rows()[0][2], "4");
    EXPECT_EQ(d.rows()[1][0], "面包");
    EXPECT_EQ(d.rows()[1][1], "4元");
    EXPECT_EQ(d.rows()[1][2], "2");
    EXPECT_EQ(d.total(), QStringLiteral("14元"));
    EXPECT_EQ(d.change(), QStringLiteral("6 元"));

    // Enter after the payment: the next sale starts at the goods.
    press(Qt::Key_Return);
    EXPECT_EQ(focused(), d.goods());
}

TEST_F(KeyboardSaleTest, TheChosenGoodsStillComesByPositionWithItsQuantities) {
    d.goods()->setFocus();
    type(QStringLiteral("kk"));  // 可口可乐 only
    press(Qt::Key_Return);
    EXPECT_EQ(d.goods()->currentIndex(), 0);
    EXPECT_EQ(d.price()->text(), "3");
    EXPECT_EQ(d.items(d.quantity()), (QStringList{"1", "2", "3", "4", "5"}));
    EXPECT_EQ(focused(), d.quantity());
    // Arrow keys pick a quantity; what is typed is never added as an item.
    press(Qt::Key_Down);
    press(Qt::Key_Return);
    EXPECT_EQ(d.rows().at(0).at(2), "2");
    EXPECT_EQ(d.quantity()->count(), 5);
}

TEST_F(KeyboardSaleTest, ButtonKeysAreNamedInTheirTooltipsAndWork) {
    const struct {
        const char* button;
        QKeySequence keys;
    } keyed[] = {{"图形按钮_删除", MainWindow::kDeleteKey},
                 {"图形按钮_清空", MainWindow::kClearKey},
                 {"图形按钮_生成账单", MainWindow::kReceiptKey},
                 {"图形按钮_保存", MainWindow::kSaveKey}};
    for (const auto& k : keyed)
        EXPECT_TRUE(
            d.button(k.button)->toolTip().contains(k.keys.toString(QKeySequence::NativeText)))
            << k.button;
    EXPECT_TRUE(d.tendered()->toolTip().contains(
        MainWindow::kTenderedKey.toString(QKeySequence::NativeText)));

    d.goods()->setFocus();
    sellByKeys(QStringLiteral("kqs"), QStringLiteral("1"));
    sellByKeys(QStringLiteral("mb"), QStringLiteral("1"));
    sellByKeys(QStringLiteral("kkkl"), QStringLiteral("1"));
    press(MainWindow::kDeleteKey);  // the remembered row, 0 at start
    ASSERT_EQ(d.rows().size(), 2u);
    EXPECT_EQ(d.rows()[0][0], "面包");
    press(MainWindow::kReceiptKey);
    EXPECT_EQ(receipts, 1);
    press(MainWindow::kSaveKey);
    EXPECT_EQ(d.platform.messages().value(0), QStringLiteral("保存成功"));
    press(MainWindow::kClearKey);
    EXPECT_TRUE(d.rows().empty());
}

TEST_F(KeyboardSaleTest, TabGoesFromTheGoodsThroughAddLongBeforeSave) {
    d.goods()->setFocus();
    QStringList reached;
    for (int i = 0; i < 12 && !reached.contains(QStringLiteral("图形按钮_保存")); ++i) {
        QWidget* w = focused();
        if (w->parentWidget() && qobject_cast<QComboBox*>(w->parentWidget())) w = w->parentWidget();
        reached << w->objectName();
        press(Qt::Key_Tab);
    }
    const auto add = reached.indexOf(QStringLiteral("图形按钮_添加"));
    EXPECT_EQ(reached.value(0), QStringLiteral("组合框1_商品名称"));
    EXPECT_EQ(reached.indexOf(QStringLiteral("组合框1_数量")), add - 1)
        << reached.join(' ').toStdString();
    EXPECT_GT(reached.indexOf(QStringLiteral("图形按钮_保存")), add);
    EXPECT_LT(reached.indexOf(QStringLiteral("编辑框1_当前余额")),
              reached.indexOf(QStringLiteral("图形按钮_保存")));
}

}  // namespace
}  // namespace shop::test
