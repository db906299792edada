// CSV cells: formulas neutralised, separators quoted, and the table tool's
// export going through the same rule.
#include "storage/csv.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "table_fixture.h"

namespace shop::storage::testing {
namespace {

TEST(CsvCell, CellsASpreadsheetWouldRunGetAQuote) {
    EXPECT_EQ(csvCell("=SUM(A1:A9)"), "'=SUM(A1:A9)");
    EXPECT_EQ(csvCell("+1"), "'+1");
    EXPECT_EQ(csvCell("-3"), "'-3");
    EXPECT_EQ(csvCell("@cmd"), "'@cmd");
    EXPECT_EQ(csvCell("\t=1"), "'\t=1");
    // A carriage return also needs quoting; the quote mark goes inside.
    EXPECT_EQ(csvCell("\r=1"), "\"'\r=1\"");
    // Only the first character counts.
    EXPECT_EQ(csvCell("1=1"), "1=1");
    EXPECT_EQ(csvCell("a-b"), "a-b");
}

TEST(CsvCell, PlainCellsStayAsTheyAre) {
    EXPECT_EQ(csvCell(""), "");
    EXPECT_EQ(csvCell("矿泉水"), "矿泉水");
    EXPECT_EQ(csvCell("12元"), "12元");
    EXPECT_EQ(csvCell("'quoted already"), "'quoted already");
}

TEST(CsvCell, SeparatorsQuotesAndLineBreaksAreQuoted) {
    EXPECT_EQ(csvCell("a,b"), "\"a,b\"");
    EXPECT_EQ(csvCell("say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(csvCell("two\nlines"), "\"two\nlines\"");
    // Neutralised first, then quoted: the formula stays text inside quotes.
    EXPECT_EQ(csvCell("=HYPERLINK(\"x\",\"y\")"), "\"'=HYPERLINK(\"\"x\"\",\"\"y\"\")\"");
}

class ToolExport : public TableTest {};

TEST_F(ToolExport, NeutralisesAndQuotesStoredCells) {
    const std::string table = path("t.edb");
    ASSERT_TRUE(create(table, fourTexts()));
    ASSERT_TRUE(open(table));
    ASSERT_TRUE(appendBlank());
    ASSERT_TRUE(writeText(1, "=1+1"));
    ASSERT_TRUE(writeText(2, "3,5元"));
    ASSERT_TRUE(writeText(3, "-2"));
    ASSERT_TRUE(writeText(4, "茶"));
    close();

    const std::string command = std::string("'") + SHOP_TEST_TOOL + "' export '" + table + "'";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    ASSERT_NE(pipe, nullptr);
    std::string out;
    char buf[256];
    while (const std::size_t n = std::fread(buf, 1, sizeof buf, pipe.get())) out.append(buf, n);
    EXPECT_EQ(out, "名字,价格,数量,时间\n'=1+1,\"3,5元\",'-2,茶\n");
}

}  // namespace
}  // namespace shop::storage::testing
