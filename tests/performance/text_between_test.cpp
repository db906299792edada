// Text-between extraction, the general routine behind the time part of a
// sales table's name.
#include <gtest/gtest.h>

#include "storage/text.h"

namespace shop::test {
namespace {

using storage::textBetween;

TEST(TextBetween, FindsTheTextBetweenTheLeftMarkerAndTheNextRightMarker) {
    const struct {
        std::string text, left, right;
        std::size_t start;
        bool caseless;
        const char* found;
    } cases[] = {
        {"销售数据2024年3月5日14时7分9秒.edb", "日", ".edb", 0, false, "14时7分9秒"},
        {"a[b]c[d]", "[", "]", 0, false, "b"},
        {"a[]c", "[", "]", 0, false, ""},
        {"]x[y]", "[", "]", 0, false, "y"},  // the right marker only after the left one
        {"<<<>>>", "<<<", ">>>", 0, false, ""},
        // A marker missing gives empty text.
        {"abc", "[", "]", 0, false, ""},
        {"a[bc", "[", "]", 0, false, ""},
        {"a]b[c", "[", "]", 0, false, ""},
        {"", "[", "]", 0, false, ""},
        // The word 引号 after # in a marker stands for a double quote; the text
        // itself is left alone.
        {R"(name="茶" price="7")", "name=#引号", "#引号", 0, false, "茶"},
        {R"(x="a""b")", "#引号#引号", "#引号", 0, false, "b"},
        {R"(name="茶")", "name=\"", "\"", 0, false, "茶"},
        {"#引号甲#引号", "#", "#", 0, false, "引号甲"},
        // The search starts at a byte position ("日" takes three bytes).
        {"[a][bc][d]", "[", "]", 1, false, "bc"},
        {"[a][bc][d]", "[", "]", 3, false, "bc"},
        {"[a][bc][d]", "[", "]", 4, false, "d"},
        {"[a][bc][d]", "[", "]", 10, false, ""},
        {"[a][bc][d]", "[", "]", 15, false, ""},
        {"日a日b.", "日", ".", 1, false, "b"},
        // The case flag decides whether letters match across case; other
        // characters always match exactly.
        {"销售数据2024年3月5日9时.EDB", "日", ".edb", 0, false, ""},
        {"销售数据2024年3月5日9时.EDB", "日", ".edb", 0, true, "9时"},
        {"<B>bold</b>", "<b>", "</B>", 0, true, "bold"},
        {"<B>bold</b>", "<b>", "</B>", 0, false, ""},
        {"甲X乙丙", "甲x", "丙", 0, true, "乙"},
        {"甲X乙丙", "乙x", "丙", 0, true, ""},
        {"甲xY乙", "甲X", "乙", 0, true, "Y"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(textBetween(c.text, c.left, c.right, c.start, c.caseless), c.found)
            << c.text << " from " << c.start;
    // Without a start and a flag: from the beginning, case-sensitive.
    EXPECT_EQ(textBetween("[A]", "[", "]"), "A");
    EXPECT_EQ(textBetween("[A]x", "[", "]X"), "");
}

}  // namespace
}  // namespace shop::test
