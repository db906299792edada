#include "storage/text.h"

#include <gtest/gtest.h>

#include <climits>

using namespace shop::storage;

TEST(LeadingNumber, TakesTheNumberAtTheStartAndIgnoresTheRest) {
    EXPECT_DOUBLE_EQ(leadingDouble("12元"), 12.0);
    EXPECT_DOUBLE_EQ(leadingDouble("2.5"), 2.5);
    EXPECT_DOUBLE_EQ(leadingDouble("-3.25 元"), -3.25);
    EXPECT_DOUBLE_EQ(leadingDouble("+4"), 4.0);
    EXPECT_DOUBLE_EQ(leadingDouble("  7.5x"), 7.5);
    EXPECT_DOUBLE_EQ(leadingDouble(".5"), 0.5);
    EXPECT_DOUBLE_EQ(leadingDouble("1.2.3"), 1.2);
    // No exponent: "1e3" is the number 1 followed by text.
    EXPECT_DOUBLE_EQ(leadingDouble("1e3"), 1.0);
}

TEST(LeadingNumber, TextWithoutALeadingNumberReadsAsZero) {
    for (const char* t : {"", "abc", "元12", "-", ".", "+.", "  "})
        EXPECT_DOUBLE_EQ(leadingDouble(t), 0.0) << t;
    EXPECT_EQ(leadingInt("abc"), 0);
    EXPECT_FLOAT_EQ(leadingFloat("x1"), 0.0f);
}

TEST(LeadingNumber, IntegersStopAtTheDecimalPointAndSaturate) {
    EXPECT_EQ(leadingInt("3"), 3);
    EXPECT_EQ(leadingInt("3.7"), 3);
    EXPECT_EQ(leadingInt("-12件"), -12);
    EXPECT_EQ(leadingInt("99999999999999999999"), INT_MAX);
    EXPECT_EQ(leadingInt("-99999999999999999999"), INT_MIN);
}

TEST(GbkLength, CountsBytesAsTheShopFilesDo) {
    EXPECT_EQ(gbkLength("abc"), 3u);
    EXPECT_EQ(gbkLength("澄屿"), 4u);
    EXPECT_EQ(gbkLength("12元"), 4u);
    EXPECT_EQ(gbkLength("（）"), 4u);              // full-width punctuation is in GBK
    EXPECT_EQ(gbkLength("\xF0\x9F\x98\x80"), 4u);  // an emoji takes four bytes in GB18030
    EXPECT_EQ(gbkLength(""), 0u);
}

TEST(GbkLength, RefusesInvalidUtf8) {
    EXPECT_FALSE(gbkLength("\xC3").has_value());
    EXPECT_FALSE(gbkLength("\xED\xA0\x80").has_value());  // a lone surrogate
    EXPECT_FALSE(gbkLength("\xC0\xAF").has_value());      // overlong slash
    EXPECT_FALSE(isValidUtf8("ab\xFF"));
    EXPECT_TRUE(isValidUtf8("澄屿店铺"));
}

TEST(GbkText, DecodesDoubleByteTextAndRefusesACutCharacter) {
    // "收银员" in GBK.
    const std::string gbk = "\xCA\xD5\xD2\xF8\xD4\xB1";
    EXPECT_EQ(gbkToUtf8(gbk), std::optional<std::string>("收银员"));
    EXPECT_FALSE(gbkToUtf8("\x81").has_value());  // a cut double-byte character
}

TEST(NumberText, ShowsAmountsWithoutNeedlessDigits) {
    EXPECT_EQ(numberText(11.0f), "11");
    EXPECT_EQ(numberText(2.5f), "2.5");
    EXPECT_EQ(numberText(-3.25f), "-3.25");
    EXPECT_EQ(numberText(0.1f), "0.1");
    EXPECT_EQ(numberText(-0.0f), "0");
    EXPECT_EQ(numberText(1234.5), "1234.5");
    EXPECT_EQ(numberText(100000000.0f), "100000000");
    // The shortest text reads back as the same single-precision value.
    const float odd = 19.99f * 3;
    EXPECT_EQ(std::stof(numberText(odd)), odd);
}
