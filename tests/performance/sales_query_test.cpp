// The sales query: which tables a range of days reaches, what is read from
// them and the totals of the chart.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>

#include "sales_fixture.h"
#include "storage/text.h"

namespace shop::test {
namespace {

using performance::dayNames;
using performance::normalisedDay;
using performance::runSalesQuery;
using performance::salesTablesInRange;
using performance::timePart;
namespace fs = std::filesystem;

const Records kMorning = {{"苹果", "12元", "3", "2024年3月5日9时1分2秒"},
                          {"梨", "2.5", "4件", "2024年3月5日9时3分0秒"}};
const Records kEvening = {{"牛奶", "6元", "1", "2024年3月6日9时0分5秒"}};

Records sorted(Records r) {
    std::sort(r.begin(), r.end());
    return r;
}

Records concat(std::initializer_list<Records> parts) {
    Records out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

TEST(DayNames, CoverEveryDayOfTheRangeInOrder) {
    EXPECT_EQ(dayNames({2024, 3, 5}, {2024, 3, 5}),
              std::vector<std::string>{"销售数据2024年3月5日"});
    // Across a leap day and a year end.
    EXPECT_EQ(dayNames({2024, 2, 28}, {2024, 3, 1}),
              (std::vector<std::string>{"销售数据2024年2月28日", "销售数据2024年2月29日",
                                        "销售数据2024年3月1日"}));
    EXPECT_EQ(dayNames({2023, 12, 31}, {2024, 1, 1}),
              (std::vector<std::string>{"销售数据2023年12月31日", "销售数据2024年1月1日"}));
    EXPECT_EQ(dayNames({2024, 1, 1}, {2024, 12, 31}).size(), 366u);
}

TEST(DayNames, LastDayBeforeFirstGivesNone) {
    EXPECT_TRUE(dayNames({2024, 3, 6}, {2024, 3, 5}).empty());
    EXPECT_TRUE(dayNames({2025, 1, 1}, {2024, 12, 31}).empty());
}

TEST(DayNames, NormalisedDaysDropTheTimeOfDay) {
    EXPECT_EQ(normalisedDay({2024, 3, 5, 23, 59, 59}), (Moment{2024, 3, 5, 0, 0, 0}));
    // A late first moment and an early last moment of the same day still give that day.
    EXPECT_EQ(dayNames(normalisedDay({2024, 3, 5, 23, 0, 0}), normalisedDay({2024, 3, 5, 1, 0, 0}))
                  .size(),
              1u);
}

TEST(TimePart, IsTheTextBetweenTheDayMarkAndTheExtension) {
    EXPECT_EQ(timePart("销售数据2024年3月5日14时7分9秒.edb"), "14时7分9秒");
    EXPECT_EQ(timePart("销售数据2024年3月5日.edb"), "");  // a run started at midnight
    EXPECT_EQ(timePart("备注.txt"), "");
    EXPECT_EQ(timePart("说明日.txt"), "");            // no ".edb" after the mark
    EXPECT_EQ(timePart("甲日乙日丙.edb"), "乙日丙");  // from the first mark on
}

TEST(SalesQuery, FirstDayEqualToLastReadsOnlyThatDaysTables) {
    RunFolder run;
    makeSalesTable(run, {2024, 3, 5, 9, 0, 0}, kMorning);
    makeSalesTable(run, {2024, 3, 6, 10, 0, 0}, kEvening);
    const auto r = runSalesQuery(queryOf(run, {2024, 3, 5}, {2024, 3, 5}));
    EXPECT_EQ(asRecords(r.rows), kMorning);
    EXPECT_TRUE(r.listedAny);
    EXPECT_EQ(r.openedTables.size(), 1u);
}

TEST(SalesQuery, LastDayBeforeFirstFindsNothing) {
    RunFolder run;
    makeSalesTable(run, {2024, 3, 5, 9, 0, 0}, kMorning);
    const auto r = runSalesQuery(queryOf(run, {2024, 3, 6}, {2024, 3, 5}));
    EXPECT_TRUE(r.rows.empty());
    EXPECT_EQ(r.revenue, 0);
    EXPECT_EQ(r.quantity, 0);
    EXPECT_TRUE(r.openedTables.empty());
    EXPECT_TRUE(r.listedAny);  // the folder is still listed, so the count shows 0
    EXPECT_TRUE(r.reversedRange);
    EXPECT_FALSE(runSalesQuery(queryOf(run, {2024, 3, 5}, {2024, 3, 5})).reversedRange);
}

TEST(SalesQuery, RevenueIsPriceTimesQuantityReadFromTheStartOfTheCells) {
    RunFolder run;
    makeSalesTable(run, {2024, 3, 5, 9, 0, 0},
                   {{"可乐", "2元", "2", "t"}, {"面包", "4.5元", "1", "t"}});
    EXPECT_DOUBLE_EQ(runSalesQuery(queryOf(run, {2024, 3, 5}, {2024, 3, 5})).revenue, 8.5);

    makeSalesTable(run, {2024, 3, 6, 9, 0, 0},
                   {{"苹果", "12元", "3", "t"},
                    {"梨", "2.5", "4件", "t"},
                    {"赠品", "免费", "一", "t"},
                    {"散装", "3元", "2.9斤", "t"},
                    {"退货", "-1.5元", "-2", "t"}});
    const auto r = runSalesQuery(queryOf(run, {2024, 3, 6}, {2024, 3, 6}));
    ASSERT_EQ(r.rows.size(), 5u);
    EXPECT_DOUBLE_EQ(r.revenue, 12 * 3 + 2.5 * 4 + 0 + 3 * 2 + 1.5 * 2);
    EXPECT_DOUBLE_EQ(r.quantity, 3 + 4 + 0 + 2 - 2);
}

TEST(SalesQuery, EveryTableOfTheRangeIsReadOnce) {
    RunFolder run;
    const auto a = fileNameOf(makeSalesTable(run, {2024, 3, 5, 9, 0, 0}, kMorning));
    const auto b = fileNameOf(makeSalesTable(run, {2024, 3, 6, 9, 0, 0}, kEvening));
    // Both files carry the same time of day; the first leads to both tables.
    auto r = runSalesQuery(queryOf(run, {2024, 3, 5}, {2024, 3, 6}, fixedListing({b, a})));
    EXPECT_EQ(asRecords(r.rows), concat({kMorning, kEvening}));
    EXPECT_DOUBLE_EQ(r.revenue, 12 * 3 + 2.5 * 4 + 6);
    EXPECT_DOUBLE_EQ(r.quantity, 3 + 4 + 1);
    r = runSalesQuery(queryOf(run, {2024, 3, 6}, {2024, 3, 6}, fixedListing({a, b})));
    EXPECT_EQ(asRecords(r.rows), kEvening);

    // A stray note and a name with a mark but no extension carry no time of
    // day, like the midnight table: they lead to it, but it is read once.
    const auto midnight = fileNameOf(makeSalesTable(run, {2024, 3, 5, 0, 0, 0}, kEvening));
    ASSERT_EQ(midnight, "销售数据2024年3月5日.edb");
    std::ofstream(run.paths().salesFolder() + "/备注.txt") << "note";
    r = runSalesQuery(queryOf(run, {2024, 3, 5}, {2024, 3, 5},
                              fixedListing({"备注.txt", a, midnight, "说明日.txt"})));
    EXPECT_EQ(asRecords(r.rows), concat({kMorning, kEvening}));   // by sale moment
    r = runSalesQuery(queryOf(run, {2024, 3, 5}, {2024, 3, 6}));  // the folder as it is listed
    EXPECT_EQ(asRecords(r.rows), concat({kMorning, kEvening, kEvening}));
}

TEST(SalesQuery, TablesComeInListingOrderOfTheirTimeOfDayThenByDay) {
    const std::vector<std::string> listing = {
        "销售数据2024年3月6日9时0分0秒.edb",
        "备注.txt",
        "销售数据2024年3月2日10时0分0秒.edb",
        "销售数据2024年3月4日9时0分0秒.edb",
        "销售数据2024年3月3日.edb",
        "销售数据2024年3月6日9时0分0秒.edb",  // listed twice
        "销售数据2024年03月05日8时0分0秒.edb",
        "销售数据2024年3月9日9时0分0秒.edb",  // odd date, out of range
        "销售数据2024年3月1日8时0分0秒.edb",
        "其它2024年3月1日8时0分0秒.edb"};
    EXPECT_EQ(salesTablesInRange(listing, {2024, 3, 1}, {2024, 3, 8}),
              (std::vector<std::string>{
                  "销售数据2024年3月4日9时0分0秒.edb", "销售数据2024年3月6日9时0分0秒.edb",
                  "销售数据2024年3月3日.edb", "销售数据2024年3月2日10时0分0秒.edb",
                  "销售数据2024年3月1日8时0分0秒.edb"}));
    EXPECT_TRUE(salesTablesInRange(listing, {2024, 3, 8}, {2024, 3, 1}).empty());
}

TEST(SalesQuery, RowsComeInOrderOfTheirSaleMoment) {
    RunFolder run;
    // Listed (and read) afternoon first; the rows inside a table out of order,
    // two of the same moment, and rows whose moment cannot be read.
    const auto afternoon =
        fileNameOf(makeSalesTable(run, {2024, 3, 5, 15, 0, 0},
                                  {{"甲", "1元", "1", "2024年3月5日15时0分9秒"},
                                   {"乙", "1元", "1", "坏"},
                                   {"丙", "1元", "1", "2024年3月5日15时0分1秒"},
                                   {"丁", "1元", "1", "2024年3月5日15时0分1秒"}}));
    const auto morning =
        fileNameOf(makeSalesTable(run, {2024, 3, 5, 9, 0, 0},
                                  {{"戊", "1元", "1", ""},
                                   {"己", "1元", "1", "2024年3月5日9时0分0秒"},
                                   {"庚", "1元", "1", "2024年3月4日23时59分59秒"}}));
    const auto r =
        runSalesQuery(queryOf(run, {2024, 3, 5}, {2024, 3, 5}, fixedListing({afternoon, morning})));
    std::vector<std::string> names;
    for (const auto& row : r.rows) names.push_back(row[0]);
    EXPECT_EQ(names, (std::vector<std::string>{"庚", "己", "丙", "丁", "甲", "乙", "戊"}));
    EXPECT_EQ(r.quantity, 7);
}

// A sales table that cannot be read is named, never taken for a day without
// sales; what could be read is still there.
TEST(SalesQuery, UnreadableTablesAreNamedAndTheTotalsMarkedIncomplete) {
    Records many;
    for (int i = 0; i < 300; ++i)
        many.push_back({"货" + std::to_string(i), "1元", "1", "2024年3月5日10时0分0秒"});
    const struct {
        const char* what;
        std::function<void(const std::string&)> damage;
    } cases[] = {
        {"cut to 8 KiB", [](const std::string& p) { fs::resize_file(p, 8192); }},
        {"no table at all",
         [](const std::string& p) { std::ofstream(p) << std::string(9000, 'x'); }},
        {"its last page scrambled",
         [](const std::string& p) {
             std::fstream f(p, std::ios::in | std::ios::out | std::ios::binary);
             f.seekp(static_cast<std::streamoff>(fs::file_size(p)) - 4000);
             for (int i = 0; i < 3900; ++i) f.put(static_cast<char>(i * 37 + 11));
         }},
    };
    for (const auto& c : cases) {
        RunFolder run;
        const std::string bad = makeSalesTable(run, {2024, 3, 5, 10, 0, 0}, many);
        c.damage(bad);
        // The day's only table.
        auto r = runSalesQuery(queryOf(run, {2024, 3, 5}, {2024, 3, 5}));
        EXPECT_FALSE(r.complete()) << c.what;
        EXPECT_EQ(r.unreadableTables, std::vector<std::string>{fileNameOf(bad)}) << c.what;
        // Its rows that could be read are there, the money of the rest is not.
        EXPECT_LT(r.revenueFen, 300 * 100) << c.what;

        // Beside a sound table, whose rows and totals are all there.
        makeSalesTable(run, {2024, 3, 6, 9, 0, 0}, kEvening);
        const auto before = r.revenueFen;
        r = runSalesQuery(queryOf(run, {2024, 3, 5}, {2024, 3, 6}));
        EXPECT_EQ(r.unreadableTables, std::vector<std::string>{fileNameOf(bad)}) << c.what;
        EXPECT_EQ(std::count(r.rows.begin(), r.rows.end(),
                             performance::SalesRow{"牛奶", "6元", "1", "2024年3月6日9时0分5秒"}),
                  1)
            << c.what;
        EXPECT_EQ(r.revenueFen, before + 600) << c.what;
        // A range without the damaged table is whole.
        EXPECT_TRUE(runSalesQuery(queryOf(run, {2024, 3, 6}, {2024, 3, 6})).complete()) << c.what;
    }
}

TEST(SalesQuery, RunningTheSameQueryTwiceGivesTheSameResult) {
    RunFolder run;
    makeSalesTable(run, {2024, 3, 5, 9, 0, 0}, kMorning);
    makeSalesTable(run, {2024, 3, 6, 9, 0, 0}, kEvening);
    makeSalesTable(run, {2024, 3, 6, 0, 0, 0}, kEvening);
    const auto query = queryOf(run, {2024, 3, 1}, {2024, 3, 31});
    const auto first = runSalesQuery(query);
    const auto second = runSalesQuery(query);
    EXPECT_FALSE(first.rows.empty());
    EXPECT_EQ(second.rows, first.rows);
    EXPECT_EQ(second.revenue, first.revenue);
    EXPECT_EQ(second.quantity, first.quantity);
}

TEST(SalesQuery, TheRunsOwnEmptyTableAddsNothingAndStaysWritable) {
    RunFolder run;
    makeSalesTable(run, {2024, 3, 5, 9, 0, 0}, kMorning);
    // The main window keeps this run's table open for writing from its start.
    const std::string own = makeSalesTable(run, {2024, 3, 5, 15, 30, 0}, {});
    ASSERT_TRUE(storage::open(own));
    const auto r = runSalesQuery(queryOf(run, {2024, 3, 5}, {2024, 3, 5}));
    EXPECT_EQ(sorted(asRecords(r.rows)), sorted(kMorning));
    EXPECT_EQ(std::count(r.openedTables.begin(), r.openedTables.end(), own), 0);
    // The read-only open of the query did not take write access away.
    ASSERT_TRUE(storage::select(own));
    ASSERT_TRUE(storage::appendBlank());
    EXPECT_TRUE(storage::writeText(1, "面包"));
}

TEST(SalesQuery, ForeignFilesInTheSalesFolderAreSkipped) {
    RunFolder run;
    makeSalesTable(run, {2024, 3, 5, 9, 0, 0}, kMorning);
    const std::string folder = run.paths().salesFolder();
    std::ofstream(folder + "/备注.txt") << "not a table";
    // Damaged: a sales table's name over bytes that are no table.
    std::ofstream(folder + "/销售数据2024年3月5日10时0分0秒.edb") << std::string(4096, 'x');
    // A folder named like a sales table.
    fs::create_directory(folder + "/销售数据2024年3月5日11时0分0秒.edb");
    // A table of ours with the name of a sales table but only two fields.
    ASSERT_TRUE(storage::create(
        folder + "/销售数据2024年3月5日12时0分0秒.edb",
        {{"名", storage::FieldType::Text, 255}, {"价", storage::FieldType::Text, 255}}));
    writeAll(folder + "/销售数据2024年3月5日12时0分0秒.edb", {{"x", "9"}});
    // Listed with the folder too, as a listing that does not filter may do.
    const auto r = runSalesQuery(queryOf(
        run, {2024, 3, 5}, {2024, 3, 5},
        fixedListing({"备注.txt", "销售数据2024年3月5日10时0分0秒.edb",
                      "销售数据2024年3月5日11时0分0秒.edb", "销售数据2024年3月5日12时0分0秒.edb",
                      "销售数据2024年3月5日9时0分0秒.edb"})));
    EXPECT_EQ(asRecords(r.rows), kMorning);
    EXPECT_DOUBLE_EQ(r.revenue, 12 * 3 + 2.5 * 4);
    // What carries a sales table's name but cannot be read may have held
    // sales: it is named. The note and the two-field table hold none.
    EXPECT_EQ(r.unreadableTables, (std::vector<std::string>{"销售数据2024年3月5日10时0分0秒.edb",
                                                            "销售数据2024年3月5日11时0分0秒.edb"}));
}

TEST(SalesQuery, ByteFieldsAreReadAsText) {
    RunFolder run;
    const std::string path = run.paths().salesFolder() + "/销售数据2024年3月5日8时0分0秒.edb";
    auto layout = storage::schemas::sales();
    layout[1].type = storage::FieldType::Bytes;
    ASSERT_TRUE(storage::create(path, layout));
    ASSERT_TRUE(storage::open(path));
    ASSERT_TRUE(storage::appendBlank());
    ASSERT_TRUE(storage::writeText(1, "茶"));
    ASSERT_TRUE(storage::writeField(2, storage::Value::bytes("7元")));
    ASSERT_TRUE(storage::writeText(3, "2"));
    storage::close();
    const auto r = runSalesQuery(queryOf(run, {2024, 3, 5}, {2024, 3, 5}));
    ASSERT_EQ(r.rows.size(), 1u);
    EXPECT_EQ(r.rows[0][1], "7元");
    EXPECT_DOUBLE_EQ(r.revenue, 7 * 2);
}

TEST(SalesQuery, EmptyOrMissingFolderGivesNoRowsAndNoListing) {
    RunFolder run;
    auto r = runSalesQuery(queryOf(run, {2024, 3, 5}, {2024, 3, 5}));
    EXPECT_TRUE(r.rows.empty());
    EXPECT_FALSE(r.listedAny);
    fs::remove_all(run.paths().salesFolder());
    r = runSalesQuery(queryOf(run, {2024, 3, 5}, {2024, 3, 5}));
    EXPECT_TRUE(r.rows.empty());
    EXPECT_FALSE(r.listedAny);
}

}  // namespace
}  // namespace shop::test
