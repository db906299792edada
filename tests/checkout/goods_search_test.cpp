// Finding goods by part of the name or by pinyin initials, keeping the combo's
// order and positions.
#include "checkout/goods_search.h"

#include <gtest/gtest.h>

#include "checkout/pinyin_initials.h"

namespace {

using shop::checkout::goodsMatches;
using shop::checkout::matchingGoods;
using shop::checkout::pinyinInitials;

TEST(PinyinInitials, HanCharactersGiveTheirInitialsOtherTextIsKeptOrDropped) {
    EXPECT_EQ(pinyinInitials(QStringLiteral("矿泉水")), QStringLiteral("kqs"));
    EXPECT_EQ(pinyinInitials(QStringLiteral("可口可乐")), QStringLiteral("kkkl"));
    EXPECT_EQ(pinyinInitials(QStringLiteral("方便面")), QStringLiteral("fbm"));
    EXPECT_EQ(pinyinInitials(QStringLiteral("牛奶")), QStringLiteral("nn"));
    // Readings that begin with a marked vowel (爱 ài, 鹅 é, 藕 ǒu).
    EXPECT_EQ(pinyinInitials(QStringLiteral("爱鹅藕")), QStringLiteral("aeo"));
    // Letters lower-cased, digits kept, blanks and punctuation dropped.
    EXPECT_EQ(pinyinInitials(QStringLiteral("矿泉水 550ML（瓶）")), QStringLiteral("kqs550mlp"));
    EXPECT_EQ(pinyinInitials(QString()), QString());
}

TEST(GoodsSearch, MatchesByInitialsOrByPartOfTheName) {
    const QString water = QStringLiteral("矿泉水");
    EXPECT_TRUE(goodsMatches(water, QStringLiteral("kqs")));
    EXPECT_TRUE(goodsMatches(water, QStringLiteral("KQS")));
    EXPECT_TRUE(goodsMatches(water, QStringLiteral("qs")));
    EXPECT_TRUE(goodsMatches(water, QStringLiteral("泉水")));
    EXPECT_TRUE(goodsMatches(water, QStringLiteral(" kq ")));
    EXPECT_FALSE(goodsMatches(water, QStringLiteral("ksq")));
    EXPECT_FALSE(goodsMatches(water, QStringLiteral("可乐")));
    EXPECT_TRUE(goodsMatches(QStringLiteral("Coca Cola 330ml"), QStringLiteral("cola")));
    EXPECT_TRUE(goodsMatches(water, QString()));
    EXPECT_TRUE(goodsMatches(water, QStringLiteral("  ")));
}

TEST(GoodsSearch, KeepsTheCombosOrderAndGivesPositions) {
    const QStringList names{QStringLiteral("可口可乐"), QStringLiteral("矿泉水"),
                            QStringLiteral("面包"), QStringLiteral("矿泉水"),
                            QStringLiteral("口香糖")};
    EXPECT_EQ(matchingGoods(names, QStringLiteral("kqs")), (std::vector<int>{1, 3}));
    EXPECT_EQ(matchingGoods(names, QStringLiteral("k")), (std::vector<int>{0, 1, 3, 4}));
    EXPECT_EQ(matchingGoods(names, QStringLiteral("口")), (std::vector<int>{0, 4}));
    EXPECT_EQ(matchingGoods(names, QString()), (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_TRUE(matchingGoods(names, QStringLiteral("xyz")).empty());
    EXPECT_TRUE(matchingGoods({}, QStringLiteral("kqs")).empty());
}

}  // namespace
