// Money read from stored texts in whole fen, and shown back as yuan.
#include "storage/money.h"

#include <gtest/gtest.h>

#include <limits>

namespace shop::storage {
namespace {

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();

TEST(LeadingFen, ReadsTheAmountAtTheStartExactly) {
    const struct {
        const char* text;
        std::int64_t fen;
    } cases[] = {
        {"3.2元", 320},
        {"12", 1200},
        {"0.1", 10},
        {"19.99元", 1999},
        {" 2.5", 250},
        {"-1.5元", -150},
        {"+4", 400},
        {".5", 50},
        {"7.", 700},
        {"1.005", 101},
        {"1.004", 100},
        {"-0.015", -2},
        {"2.999", 300},
        {"1.2.3", 120},
        {"免费", 0},
        {"", 0},
        {"-", 0},
        {".", 0},
        {"元12", 0},
        {"0.07件", 7},
        {"99999999999999999999", kMax},
        {"-99999999999999999999", kMin},
    };
    for (const auto& c : cases) EXPECT_EQ(leadingFen(c.text), c.fen) << c.text;
}

TEST(FenArithmetic, SaturatesInsteadOfWrapping) {
    EXPECT_EQ(timesCount(120, 3), 360);
    EXPECT_EQ(timesCount(-150, -2), 300);
    EXPECT_EQ(timesCount(kMax / 2, 3), kMax);
    EXPECT_EQ(timesCount(kMax / 2, -3), kMin);
    EXPECT_EQ(plusFen(10, 20), 30);
    EXPECT_EQ(plusFen(kMax, 1), kMax);
    EXPECT_EQ(plusFen(kMin, -1), kMin);
}

TEST(FenText, IsTheShortestYuanText) {
    const struct {
        std::int64_t fen;
        const char* text;
    } cases[] = {{320, "3.2"}, {1200, "12"},  {5, "0.05"},     {-150, "-1.5"},
                 {0, "0"},     {-7, "-0.07"}, {5997, "59.97"}, {kMin, "-92233720368547758.08"}};
    for (const auto& c : cases) EXPECT_EQ(fenText(c.fen), c.text) << c.fen;
}

}  // namespace
}  // namespace shop::storage
