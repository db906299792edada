// The goods combo searched from the keyboard: the item chosen is the one at
// its own position, and choosing it emits `activated` once, as a click does.
#include "checkout/goods_combo_search.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QComboBox>
#include <QCompleter>
#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

namespace {

struct SearchableCombo {
    QComboBox combo;
    QSignalSpy activated{&combo, &QComboBox::activated};

    SearchableCombo() {
        // 矿泉水 twice: the second must be reachable by its own position.
        combo.addItems({QStringLiteral("可口可乐"), QStringLiteral("面包"),
                        QStringLiteral("矿泉水"), QStringLiteral("口香糖"),
                        QStringLiteral("矿泉水")});
        shop::checkout::makeGoodsSearchable(&combo);
        combo.setCurrentIndex(-1);
        combo.show();
        combo.activateWindow();
        combo.setFocus();
    }
    void type(const QString& text) { QTest::keyClicks(combo.lineEdit(), text); }
    // Chinese comes from the input method, not from single keys.
    void compose(const QString& text) {
        QInputMethodEvent commit;
        commit.setCommitString(text);
        QCoreApplication::sendEvent(combo.lineEdit(), &commit);
    }
    int chosen() const { return activated.isEmpty() ? -1 : activated.last().at(0).toInt(); }
};

TEST(GoodsComboSearch, EnterTakesTheFirstMatchByInitialsOrName) {
    SearchableCombo s;
    s.type(QStringLiteral("kqs"));
    QTest::keyClick(s.combo.lineEdit(), Qt::Key_Return);
    EXPECT_EQ(s.activated.size(), 1);
    EXPECT_EQ(s.chosen(), 2);
    EXPECT_EQ(s.combo.currentIndex(), 2);
    EXPECT_EQ(s.combo.currentText(), QStringLiteral("矿泉水"));

    s.combo.lineEdit()->clear();
    s.compose(QStringLiteral("香"));
    s.combo.completer()->popup()->hide();
    QTest::keyClick(s.combo.lineEdit(), Qt::Key_Return);
    EXPECT_EQ(s.chosen(), 3);
}

TEST(GoodsComboSearch, TheListShowsMatchesInTheCombosOrderAndChoosesByPosition) {
    SearchableCombo s;
    s.type(QStringLiteral("k"));
    QAbstractItemView* popup = s.combo.completer()->popup();
    ASSERT_TRUE(popup->isVisible());
    QStringList shown;
    for (int r = 0; r < popup->model()->rowCount(); ++r)
        shown << popup->model()->index(r, 0).data().toString();
    EXPECT_EQ(shown, (QStringList{QStringLiteral("可口可乐"), QStringLiteral("矿泉水"),
                                  QStringLiteral("口香糖"), QStringLiteral("矿泉水")}));

    // The second 矿泉水 of the list is item 4 of the combo, not item 2.
    for (int down = 0; down < 4; ++down) QTest::keyClick(popup, Qt::Key_Down);
    QTest::keyClick(popup, Qt::Key_Return);
    EXPECT_EQ(s.activated.size(), 1);
    EXPECT_EQ(s.chosen(), 4);
    EXPECT_EQ(s.combo.currentIndex(), 4);
}

TEST(GoodsComboSearch, EnterInTheOpenListTakesTheFirstMatch) {
    SearchableCombo s;
    s.type(QStringLiteral("kqs"));
    ASSERT_TRUE(s.combo.completer()->popup()->isVisible());
    QTest::keyClick(s.combo.completer()->popup(), Qt::Key_Return);
    EXPECT_EQ(s.activated.size(), 1);
    EXPECT_EQ(s.chosen(), 2);
}

// The list is built before the goods are in it and lays them out only when it
// first opens: it must then show them from the top, one row under the other.
TEST(GoodsComboSearch, ALongListOpensLaidOutFromItsFirstMatch) {
    QComboBox combo;
    QStringList names;
    for (int i = 0; i < 3000; ++i) names << QStringLiteral("商品%1").arg(i);
    combo.addItems(names);
    shop::checkout::makeGoodsSearchable(&combo);
    combo.setCurrentIndex(-1);
    combo.show();
    combo.activateWindow();
    combo.setFocus();
    QSignalSpy activated(&combo, &QComboBox::activated);

    QTest::keyClicks(combo.lineEdit(), QStringLiteral("sp"));
    QAbstractItemView* popup = combo.completer()->popup();
    ASSERT_TRUE(popup->isVisible());
    ASSERT_EQ(popup->model()->rowCount(), 3000);
    EXPECT_EQ(popup->indexAt(QPoint(2, 2)).row(), 0);
    const QRect first = popup->visualRect(popup->model()->index(0, 0));
    const QRect fifth = popup->visualRect(popup->model()->index(4, 0));
    ASSERT_GT(first.height(), 0);
    EXPECT_EQ(fifth.top(), first.top() + 4 * first.height());
    EXPECT_EQ(popup->indexAt(fifth.center()).row(), 4);

    for (int down = 0; down < 3; ++down) QTest::keyClick(popup, Qt::Key_Down);
    QTest::keyClick(popup, Qt::Key_Return);
    ASSERT_EQ(activated.size(), 1);
    EXPECT_EQ(activated.last().at(0).toInt(), 2);
    EXPECT_EQ(combo.currentText(), QStringLiteral("商品2"));
}

TEST(GoodsComboSearch, TypedTextNeverBecomesAnItem) {
    SearchableCombo s;
    s.type(QStringLiteral("xyz"));
    QTest::keyClick(s.combo.lineEdit(), Qt::Key_Return);
    EXPECT_EQ(s.combo.count(), 5);
    EXPECT_TRUE(s.activated.isEmpty());
}

}  // namespace
