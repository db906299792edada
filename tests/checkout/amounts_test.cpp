// The checkout's amounts: total, change, their label texts and the quantities
// offered for a stock text.
#include "checkout/amounts.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

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
}

// Amounts whose binary neighbours used to show through: the total and change
// are the decimal amounts the cashier reckons with.
TEST(AwkwardAmounts, SumsAndDifferencesAreTheDecimalOnes) {
    EXPECT_EQ(totalLabelText(checkoutTotal({{"1.2", "3"}})), "3.6元");
    EXPECT_EQ(changeLabelText(changeFor("10", checkoutTotal({{"1.2", "3"}}))), "6.4 元");
    const float total = checkoutTotal({{"69.6", "1"}, {"141.1", "2"}});
    EXPECT_EQ(totalLabelText(total), "351.8元");
    EXPECT_EQ(changeLabelText(changeFor("400", total)), "48.2 元");
    // Ten sales of 0.1 make 1, however the steps fall in binary.
    EXPECT_EQ(checkoutTotal(std::vector<PricedQuantity>(10, {"0.1", "1"})), 1.0f);
    EXPECT_EQ(totalLabelText(checkoutTotal(std::vector<PricedQuantity>(7, {"0.7", "3"}))),
              "14.7元");
}

TEST(AwkwardAmounts, TheTextIsTheShortestThatReadsBackAsTheSameFloat) {
    EXPECT_EQ(amountText(3.6f), "3.6");
    EXPECT_EQ(amountText(351.8f), "351.8");
    EXPECT_EQ(amountText(0.1f), "0.1");
    EXPECT_EQ(amountText(-0.0f), "0");
    EXPECT_EQ(amountText(100000000.0f), "100000000");  // plain digits, no exponent
    EXPECT_EQ(amountText(0.0001f), "0.0001");
    // The float just above 3.6 is another amount and keeps its digits.
    const float above = std::nextafter(3.6f, 4.0f);
    EXPECT_EQ(amountText(above), "3.6000001");
    for (const float f : {above, 1e-7f, 123456.79f, -2.5e10f, 3.4028235e38f})
        EXPECT_EQ(std::strtof(amountText(f).c_str(), nullptr), f) << amountText(f);
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

TEST(QuantityItems, AreCappedWhateverTheStock) {
    EXPECT_EQ(quantityItems("999").size(), 999u);
    EXPECT_EQ(quantityItems("1000").size(), static_cast<std::size_t>(kMaxQuantityItems));
    // Stock texts that once reserved billions of items.
    for (const char* stock : {"30000000", "99999999999", "2147483647"}) {
        const auto items = quantityItems(stock);
        ASSERT_EQ(items.size(), static_cast<std::size_t>(kMaxQuantityItems)) << stock;
        EXPECT_EQ(items.front(), "1");
        EXPECT_EQ(items.back(), "999");
    }
}

}  // namespace
}  // namespace shop::checkout
