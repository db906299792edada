// A sale at the till with the keyboard alone: goods found by typing, Enter
// adds the row and returns to the goods, one key reaches the tendered box,
// and the checkout buttons answer to the keys their tooltips name.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QInputMethodEvent>
#include <QTest>
#include <QWheelEvent>

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
    // The remembered row, 0 at start, is the row shown selected.
    EXPECT_EQ(d.selectedRows(), (std::vector<int>{0}));
    press(MainWindow::kDeleteKey);
    ASSERT_EQ(d.rows().size(), 2u);
    EXPECT_EQ(d.rows()[0][0], "面包");
    press(MainWindow::kReceiptKey);
    EXPECT_EQ(receipts, 1);
    press(MainWindow::kSaveKey);
    EXPECT_EQ(d.platform.messages().value(0), QStringLiteral("保存成功"));
    // The list was receipted: clearing it asks first.
    d.platform.queueAnswer(true);
    press(MainWindow::kClearKey);
    EXPECT_EQ(d.platform.questions().size(), 1);
    EXPECT_TRUE(d.rows().empty());
    // Nothing left to remove: the key says so and removes nothing.
    press(MainWindow::kDeleteKey);
    EXPECT_EQ(d.hint(), QStringLiteral("请先在结账列表中选择要删除的行"));
}

// The arrow keys and the wheel show the goods one by one in the goods box;
// only Enter, or a click in the list, picks one and moves on. A Down then a
// Return then 添加, as the window's hint suggests, is one line.
TEST_F(KeyboardSaleTest, ArrowKeysBrowseTheGoodsAndOnlyAPickMovesOn) {
    d.goods()->setFocus();
    const struct {
        QKeySequence key;
        int shown;
    } browse[] = {{Qt::Key_Down, 0}, {Qt::Key_Down, 1},   {Qt::Key_Down, 2},     {Qt::Key_Down, 2},
                  {Qt::Key_Up, 1},   {Qt::Key_PageUp, 0}, {Qt::Key_PageDown, 2}, {Qt::Key_Up, 1}};
    for (const auto& b : browse) {
        press(b.key);
        const std::string key = b.key.toString().toStdString();
        EXPECT_EQ(focused(), d.goods()) << key;
        EXPECT_EQ(d.goods()->currentIndex(), b.shown) << key;
        EXPECT_EQ(d.goods()->lineEdit()->text(), d.goods()->itemText(b.shown)) << key;
        EXPECT_EQ(d.price()->text(), "") << "browsing looks nothing up: " << key;
    }
    QWheelEvent wheel(QPointF(5, 5), d.goods()->mapToGlobal(QPointF(5, 5)), {}, {0, -120},
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(d.goods(), &wheel);
    EXPECT_EQ(d.goods()->currentIndex(), 2);
    EXPECT_EQ(d.price()->text(), "");
    press(Qt::Key_Up);  // back to 矿泉水

    // 添加 now: the goods shown were never picked.
    d.button("图形按钮_添加")->click();
    EXPECT_TRUE(d.rows().empty());
    EXPECT_EQ(d.hint(), QStringLiteral("请从商品列表中选择商品（回车选定）"));

    press(Qt::Key_Return);  // the pick
    EXPECT_EQ(d.price()->text(), "1.5");
    EXPECT_EQ(focused(), d.quantity());
    EXPECT_TRUE(d.rows().empty()) << "a pick adds nothing by itself";
    d.button("图形按钮_添加")->click();
    ASSERT_EQ(d.rows().size(), 1u);
    EXPECT_EQ(d.rows()[0][0], "矿泉水");
    EXPECT_EQ(d.rows()[0][2], "1");

    // A click in the combo's own list is a pick too.
    d.goods()->setFocus();
    d.goods()->showPopup();
    QAbstractItemView* view = d.goods()->view();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view->window()));
    const QRect item = view->visualRect(d.goods()->model()->index(2, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, item.center());
    EXPECT_EQ(d.goods()->currentIndex(), 2);
    EXPECT_EQ(d.price()->text(), "4元");
    EXPECT_EQ(focused(), d.quantity());
}

// What a cashier may type at the counter by mistake: nothing of it becomes
// a line, a hint says why, and the focus stays where the mending is.
TEST_F(KeyboardSaleTest, NonsenseAtTheCounterAddsNothingAndTheCashierTypesOn) {
    d.goods()->setFocus();
    type(QStringLiteral("xyz"));  // in no catalogue
    press(Qt::Key_Return);
    EXPECT_EQ(focused(), d.goods());
    d.button("图形按钮_添加")->click();
    EXPECT_TRUE(d.rows().empty());
    EXPECT_EQ(d.hint(), QStringLiteral("请从商品列表中选择商品（回车选定）"));
    EXPECT_EQ(focused(), d.goods());

    d.goods()->lineEdit()->clear();
    type(QStringLiteral("kqs"));
    press(Qt::Key_Return);
    ASSERT_EQ(focused(), d.quantity());
    for (const char* quantity : {"abc", "0", "-3", "1.5"}) {
        type(QString::fromUtf8(quantity));
        press(Qt::Key_Return);
        EXPECT_TRUE(d.rows().empty()) << quantity;
        EXPECT_EQ(d.hint(), QStringLiteral("数量须为大于0的整数")) << quantity;
        EXPECT_EQ(focused(), d.quantity()) << quantity;
        EXPECT_EQ(d.quantity()->lineEdit()->selectedText(), QString::fromUtf8(quantity))
            << "selected, so the next typing replaces it";
    }
    d.quantity()->lineEdit()->clear();
    press(Qt::Key_Return);
    EXPECT_EQ(d.hint(), QStringLiteral("请输入数量"));

    // The price box takes no typing, the tendered box money only.
    QTest::keyClicks(d.price(), "abc");
    EXPECT_EQ(d.price()->text(), "1.5");
    press(MainWindow::kTenderedKey);
    type(QStringLiteral("-8.5abc"));
    EXPECT_EQ(d.tendered()->text(), "8.5");

    d.quantity()->setFocus();
    type(QStringLiteral("3"));
    press(Qt::Key_Return);
    ASSERT_EQ(d.rows().size(), 1u);
    EXPECT_EQ(d.hint(), "");
    EXPECT_EQ(focused(), d.goods());
    EXPECT_EQ(d.total(), QStringLiteral("4.5元"));
    EXPECT_EQ(d.change(), QStringLiteral("4 元"));
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
