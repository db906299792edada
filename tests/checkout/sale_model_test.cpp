// The checkout model on its own, without a window: its amounts in fen, the
// journal that follows its list, and the recording of the list.
#include "checkout/sale_model.h"

#include <gtest/gtest.h>

#include "checkout/money.h"
#include "checkout/run_tables.h"
#include "checkout/sale_journal.h"
#include "storage/table.h"
#include "support/run_folder.h"

namespace shop::checkout {
namespace {

using test::readAll;
using Rows = std::vector<std::vector<std::string>>;

TEST(Money, TextsReadAsExactFen) {
    const struct {
        const char* text;
        Fen fen;
    } cases[] = {
        {"12元", 1200},
        {"19.5", 1950},
        {"0.1", 10},
        {"abc", 0},
        {"", 0},
        {"-8.5", -850},
        {" 3.6", 360},
        {"0.125", 13},
        {".5", 50},
        {"7.", 700},
        {"+2", 200},
        {"1.994", 199},
        {"99999999999999999999", INT64_MAX},
    };
    for (const auto& c : cases) EXPECT_EQ(fenFromText(c.text), c.fen) << c.text;
}

TEST(Money, OnlyAMoneyAmountParsesAsOne) {
    const struct {
        const char* text;
        std::optional<Fen> fen;
    } cases[] = {
        {"20", 2000},
        {"20.5", 2050},
        {"20.55元", 2055},
        {" 100 ", 10000},
        {"abc", std::nullopt},
        {"", std::nullopt},
        {"1.234", std::nullopt},
        {"5x", std::nullopt},
        {"-", std::nullopt},
        {".", std::nullopt},
        {"0.5", 50},
    };
    for (const auto& c : cases) EXPECT_EQ(parseMoney(c.text), c.fen) << c.text;
}

TEST(Money, AmountsShowInTheirShortestText) {
    const struct {
        Fen fen;
        const char* shown;
        const char* stored;
    } cases[] = {
        {1950, "19.5", "19.50"}, {1100, "11", "11.00"},
        {5, "0.05", "0.05"},     {-350, "-3.5", "-3.50"},
        {0, "0", "0.00"},        {INT64_MIN, "-92233720368547758.08", "-92233720368547758.08"}};
    for (const auto& c : cases) {
        EXPECT_EQ(yuanText(c.fen), c.shown);
        EXPECT_EQ(storedYuan(c.fen), c.stored);
    }
}

class SaleModelTest : public ::testing::Test {
protected:
    test::RunFolder run;
    std::string sales = run.paths().salesTable({2024, 3, 5, 14, 7, 9});
    std::string journal = journalPath(run.dir(), "销售数据2024年3月5日14时7分9秒.edb");
    SaleModel model;

    void SetUp() override {
        ASSERT_EQ(startSalesTable(sales), SalesTableStart::Opened);
        model.beginRun(sales, SaleJournal(journal, "销售数据2024年3月5日14时7分9秒.edb", 0));
    }
    void add(const std::string& name, const std::string& price, const std::string& quantity) {
        model.addLine({{name, price, quantity, "2024年3月5日14时8分0秒"}, 0});
    }
};

TEST_F(SaleModelTest, TheTotalAndTheChangeAreExact) {
    const struct {
        std::vector<std::pair<std::string, std::string>> lines;
        std::string tendered;
        Fen total, change;
    } cases[] = {
        {{{"1.2", "3"}}, "10", 360, 640},
        {{{"69.6", "1"}, {"141.1", "2"}}, "400", 35180, 4820},
        {{{"0.1", "1"}, {"0.1", "1"}, {"0.1", "1"}}, "0.3", 30, 0},
        {{{"12元", "2"}, {"abc", "5"}, {"3", "abc"}}, "20元", 2400, -400},
        {{{"16777216", "1"}, {"1", "1"}}, "", 1677721700, -1677721700},
    };
    for (const auto& c : cases) {
        model.clear();
        for (const auto& [price, quantity] : c.lines) add("货", price, quantity);
        model.setTendered(c.tendered);
        EXPECT_EQ(model.total(), c.total) << c.tendered;
        EXPECT_EQ(model.change(), c.change) << c.tendered;
    }
}

TEST_F(SaleModelTest, TheJournalHoldsTheListAfterEveryChange) {
    int shown = 0;
    QObject::connect(&model, &SaleModel::linesChanged, [&shown] { ++shown; });
    add("a", "1", "1");
    add("b", "2", "1");
    add("c", "3", "1");
    EXPECT_TRUE(model.removeLine(1));
    EXPECT_FALSE(model.removeLine(5));
    EXPECT_EQ(shown, 4);
    const auto kept = readJournal(journal);
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->rows, model.rows());
    EXPECT_EQ(model.total(), 400);
    EXPECT_FALSE(model.journalFailing());
}

TEST_F(SaleModelTest, TheExitRecordingStoresTheListAndLeavesNoJournal) {
    add("a", "1", "2");
    add("b", std::string(300, '9'), "1");  // too long for the sales table
    add("c", "3", "1");
    EXPECT_EQ(model.recordOpenList().outcome, ExitRecording::RecordedAllThatFit);
    EXPECT_EQ(readAll(sales), (Rows{{"a", "1", "2", "2024年3月5日14时8分0秒"},
                                    {"c", "3", "1", "2024年3月5日14时8分0秒"}}));
    // The line that can never be stored stays, and so does its journal.
    ASSERT_EQ(model.lines().size(), 1u);
    EXPECT_EQ(model.lines()[0].row.name, "b");
    EXPECT_EQ(readJournal(journal)->rows, model.rows());
    model.clear();
    EXPECT_EQ(model.recordOpenList().outcome, ExitRecording::NothingToRecord);
    EXPECT_FALSE(readJournal(journal));
    EXPECT_EQ(readAll(sales).size(), 2u);
}

}  // namespace
}  // namespace shop::checkout
