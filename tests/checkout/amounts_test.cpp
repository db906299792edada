// The checkout's amounts: total, change, their label texts and the quantities
// offered for a stock text.
#include <gtest/gtest.h>

#include "checkout/amounts.h"

namespace shop::checkout {
namespace {

using Strings = std::vector<std::string>;

TEST(CheckoutTotal, SumsPriceTimesQuantityOverTheRows) {
    EXPECT_EQ(checkoutTotal({{"2.5", "4"}, {"1", "1"}}), 11.0f);
    EXPECT_EQ(checkoutTotal({}), 0.0f);
    // An empty row (added before anything was chosen) adds nothing.
    EXPECT_EQ(checkoutTotal({{"", ""}, {"3", "2"}}), 6.0f);
}

TEST(CheckoutTotal, ReadsTheNumberAtTheStartOfEachText) {
    EXPECT_EQ(checkoutTotal({{"12元", "2"}}), 24.0f);
    EXPECT_EQ(checkoutTotal({{"3", "abc"}}), 0.0f);
    EXPECT_EQ(checkoutTotal({{"abc", "5"}}), 0.0f);
    EXPECT_EQ(checkoutTotal({{"1.5", "2.9"}}), 3.0f);  // the quantity is whole
    EXPECT_EQ(checkoutTotal({{"-2", "3"}, {"10", "1"}}), 4.0f);
}

TEST(CheckoutTotal, IsKeptInSinglePrecisionRowByRow) {
    // 2^24 + 1 is not a float: after each row the sum is rounded back.
    EXPECT_EQ(checkoutTotal({{"16777216", "1"}, {"1", "1"}}), 16777216.0f);
    EXPECT_EQ(checkoutTotal({{"16777216", "1"}, {"1", "1"}, {"1", "1"}}), 16777216.0f);
    // 0.1 ten times in single precision is not 1.
    std::vector<PricedQuantity> tenths(10, {"0.1", "1"});
    float expected = 0.0f;
    for (int i = 0; i < 10; ++i) expected = expected + 0.1f;
    EXPECT_EQ(checkoutTotal(tenths), expected);
    EXPECT_NE(checkoutTotal(tenths), 1.0f);
}

TEST(Change, IsTenderedMinusTotal) {
    EXPECT_EQ(changeFor("100", 11.0f), 89.0f);
    EXPECT_EQ(changeFor("5", 11.0f), -6.0f);  // too little handed over
    EXPECT_EQ(changeFor("", 2.5f), -2.5f);
    EXPECT_EQ(changeFor("abc", 2.5f), -2.5f);
    EXPECT_EQ(changeFor("20元", 12.0f), 8.0f);
}

TEST(AmountLabels, TotalHasNoBlankBeforeYuanChangeHasOne) {
    EXPECT_EQ(totalLabelText(11.0f), "11元");
    EXPECT_EQ(totalLabelText(2.5f), "2.5元");
    EXPECT_EQ(totalLabelText(0.0f), "0元");
    EXPECT_EQ(changeLabelText(-6.0f), "-6 元");
    EXPECT_EQ(changeLabelText(8.75f), "8.75 元");
}

TEST(QuantityItems, OfferOneUpToTheStock) {
    EXPECT_EQ(quantityItems("3"), (Strings{"1", "2", "3"}));
    EXPECT_EQ(quantityItems("2件"), (Strings{"1", "2"}));
    EXPECT_EQ(quantityItems("2.9"), (Strings{"1", "2"}));
    EXPECT_TRUE(quantityItems("0").empty());
    EXPECT_TRUE(quantityItems("-4").empty());
    EXPECT_TRUE(quantityItems("abc").empty());
    EXPECT_TRUE(quantityItems("").empty());
    EXPECT_EQ(quantityItems("120").size(), 120u);
    EXPECT_EQ(quantityItems("120").back(), "120");
}

}  // namespace
}  // namespace shop::checkout
