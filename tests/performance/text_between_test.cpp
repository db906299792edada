// Text-between extraction, the general routine behind the time part of a
// sales table's name.
#include <gtest/gtest.h>

#include "storage/text.h"

namespace shop::test {
namespace {

using storage::textBetween;

TEST(TextBetween, ReturnsTheTextBetweenTheLeftMarkerAndTheNextRightMarker) {
    EXPECT_EQ(textBetween("销售数据2024年3月5日14时7分9秒.edb", "日", ".edb"), "14时7分9秒");
    EXPECT_EQ(textBetween("a[b]c[d]", "[", "]"), "b");
    EXPECT_EQ(textBetween("a[]c", "[", "]"), "");
    // The right marker is searched only after the left one.
    EXPECT_EQ(textBetween("]x[y]", "[", "]"), "y");
    // Marker as long as the text around it.
    EXPECT_EQ(textBetween("<<<>>>", "<<<", ">>>"), "");
}

TEST(TextBetween, MissingMarkersGiveEmptyText) {
    EXPECT_EQ(textBetween("abc", "[", "]"), "");
    EXPECT_EQ(textBetween("a[bc", "[", "]"), "");
    EXPECT_EQ(textBetween("a]b[c", "[", "]"), "");
    EXPECT_EQ(textBetween("", "[", "]"), "");
}

TEST(TextBetween, QuoteWordInAMarkerStandsForADoubleQuote) {
    EXPECT_EQ(textBetween(R"(name="茶" price="7")", "name=#引号", "#引号"), "茶");
    EXPECT_EQ(textBetween(R"(x="a""b")", "#引号#引号", "#引号"), "b");
    // Plain quotes in a marker work as well.
    EXPECT_EQ(textBetween(R"(name="茶")", "name=\"", "\""), "茶");
    EXPECT_EQ(textBetween("#引号甲#引号", "#", "#"), "引号甲");  // the text itself is left alone
}

TEST(TextBetween, SearchStartsAtTheGivenBytePosition) {
    const std::string text = "[a][bc][d]";
    EXPECT_EQ(textBetween(text, "[", "]", 0), "a");
    EXPECT_EQ(textBetween(text, "[", "]", 1), "bc");
    EXPECT_EQ(textBetween(text, "[", "]", 3), "bc");
    EXPECT_EQ(textBetween(text, "[", "]", 4), "d");
    EXPECT_EQ(textBetween(text, "[", "]", text.size()), "");
    EXPECT_EQ(textBetween(text, "[", "]", text.size() + 5), "");
    // Byte offsets: "日" takes three bytes in UTF-8.
    EXPECT_EQ(textBetween("日a日b.", "日", ".", 1), "b");
}

TEST(TextBetween, CaseFlagDecidesWhetherLettersMatchAcrossCase) {
    EXPECT_EQ(textBetween("销售数据2024年3月5日9时.EDB", "日", ".edb"), "");
    EXPECT_EQ(textBetween("销售数据2024年3月5日9时.EDB", "日", ".edb", 0, true), "9时");
    EXPECT_EQ(textBetween("<B>bold</b>", "<b>", "</B>", 0, true), "bold");
    EXPECT_EQ(textBetween("<B>bold</b>", "<b>", "</B>", 0, false), "");
    // Non-letters and Chinese text still match exactly.
    EXPECT_EQ(textBetween("甲X乙丙", "甲x", "丙", 0, true), "乙");
    EXPECT_EQ(textBetween("甲X乙丙", "乙x", "丙", 0, true), "");
    EXPECT_EQ(textBetween("甲xY乙", "甲X", "乙", 0, true), "Y");
}

}  // namespace
}  // namespace shop::test
