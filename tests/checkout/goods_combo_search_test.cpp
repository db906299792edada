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

TEST(GoodsComboSearch, TypedTextNeverBecomesAnItem) {
    SearchableCombo s;
    s.type(QStringLiteral("xyz"));
    QTest::keyClick(s.combo.lineEdit(), Qt::Key_Return);
    EXPECT_EQ(s.combo.count(), 5);
    EXPECT_TRUE(s.activated.isEmpty());
}

}  // namespace
