// 销售排行 and 每日销售 over rows with hand-computed figures, among them
// amounts that binary floating point gets wrong (0.1 + 0.2, 3 x 1.2,
// 19.99 x 3), and their CSV exports.
#include <gtest/gtest.h>

#include "performance/daily_sales.h"
#include "performance/sales_csv.h"
#include "performance/sales_ranking.h"
#include "storage/date_text.h"

namespace shop::test {
namespace {

using namespace performance;

const std::string kBom = "\xEF\xBB\xBF";

const std::vector<SalesRow> kRows = {
    {"可乐", "0.1元", "1", "2024年3月5日9时0分0秒"},
    {"面包", "1.2元", "3", "2024年3月5日9时5分0秒"},
    {"可乐", "0.2元", "1", "2024年3月7日10时0分0秒"},
    {"牛奶", "19.99元", "3", "2024年3月7日11时0分0秒"},
    {"赠品", "免费", "2", "2024年3月8日0时30分0秒"},  // past midnight after the range
    {"面包", "1.2", "0", "坏"},                       // no moment
};

struct Expected {
    const char* name;
    long long quantity;
    std::int64_t fen;
    int lines;
};

std::vector<Expected> flatten(const SalesRanking& ranking) {
    std::vector<Expected> out;
    for (const auto& g : ranking.goods)
        out.push_back({g.name.c_str(), g.quantity, g.revenueFen, g.lines});
    return out;
}

bool operator==(const Expected& a, const Expected& b) {
    return std::string(a.name) == b.name && a.quantity == b.quantity && a.fen == b.fen &&
           a.lines == b.lines;
}

TEST(SalesRanking, SumsEachGoodsToTheFenAndRanksByEitherFigure) {
    SalesRanking ranking = rankSales(kRows, RankBy::Quantity);
    EXPECT_EQ(ranking.totalQuantity, 10);
    EXPECT_EQ(ranking.totalRevenueFen, 30 + 360 + 5997);  // 63.87 yuan
    // 牛奶 and 面包 both sold 3: the larger revenue goes first.
    EXPECT_EQ(
        flatten(ranking),
        (std::vector<Expected>{
            {"牛奶", 3, 5997, 1}, {"面包", 3, 360, 2}, {"可乐", 2, 30, 2}, {"赠品", 2, 0, 1}}));
    rerank(ranking, RankBy::Revenue);
    EXPECT_EQ(
        flatten(ranking),
        (std::vector<Expected>{
            {"牛奶", 3, 5997, 1}, {"面包", 3, 360, 2}, {"可乐", 2, 30, 2}, {"赠品", 2, 0, 1}}));
    // Equal revenue goes by quantity; equal in both, by name (byte order).
    const std::vector<SalesRow> ties = {
        {"甲", "1元", "2", ""}, {"乙", "2元", "1", ""}, {"丙", "1元", "2", ""}};
    for (RankBy by : {RankBy::Revenue, RankBy::Quantity})
        EXPECT_EQ(flatten(rankSales(ties, by)),
                  (std::vector<Expected>{{"丙", 2, 200, 1}, {"甲", 2, 200, 1}, {"乙", 1, 200, 1}}));
    EXPECT_TRUE(rankSales({}, RankBy::Quantity).goods.empty());
}

TEST(SalesRanking, SharesAreRoundedPercentagesOfTheWhole) {
    const struct {
        std::int64_t part, whole;
        const char* text;
    } cases[] = {{1, 3, "33.3%"},
                 {2, 3, "66.7%"},
                 {1, 8, "12.5%"},
                 {1, 16, "6.3%"},
                 {0, 5, "0.0%"},
                 {5, 5, "100.0%"},
                 {-1, 3, "-33.3%"},
                 {5997, 6387, "93.9%"},
                 {30, 6387, "0.5%"},
                 {5, 0, "-"},
                 {INT64_MAX, INT64_MAX, "100.0%"}};
    for (const auto& c : cases)
        EXPECT_EQ(shareText(c.part, c.whole), c.text) << c.part << "/" << c.whole;
}

TEST(DailySales, EveryDayOfTheRangeAndEveryDaySoldAddUpToTheWhole) {
    const DailySales daily = dailySales(kRows, {2024, 3, 5}, {2024, 3, 7});
    std::vector<std::tuple<std::string, std::int64_t, long long, int>> days;
    for (const DaySales& d : daily.days)
        days.emplace_back(storage::datePartText(storage::fromDayNumber(d.day)), d.revenueFen,
                          d.quantity, d.lines);
    EXPECT_EQ(days, (decltype(days){{"2024年3月5日", 10 + 360, 4, 2},
                                    {"2024年3月6日", 0, 0, 0},
                                    {"2024年3月7日", 20 + 5997, 4, 2},
                                    {"2024年3月8日", 0, 2, 1}}));
    EXPECT_EQ(daily.undated.lines, 1);
    EXPECT_EQ(daily.undated.revenueFen, 0);
    EXPECT_EQ(daily.totalRevenueFen, 6387);

    EXPECT_EQ(dailySales(kRows, {2024, 3, 7}, {2024, 3, 5}).days.size(), 3u);  // sold days only
    EXPECT_EQ(dailySales({}, {2024, 1, 1}, {2024, 12, 31}).days.size(), 366u);
}

TEST(ReportCsv, ListRankingAndDaysCarryNumbersBesideTheStoredTexts) {
    const std::vector<SalesRow> rows(kRows.begin(), kRows.begin() + 4);
    EXPECT_EQ(salesCsv(rows, {4, 63.87, 8}),
              kBom +
                  "销售名称,销售价格,销售销量,销售时间,单价,数量,金额\r\n"
                  "可乐,0.1元,1,2024年3月5日9时0分0秒,0.1,1,0.1\r\n"
                  "面包,1.2元,3,2024年3月5日9时5分0秒,1.2,3,3.6\r\n"
                  "可乐,0.2元,1,2024年3月7日10时0分0秒,0.2,1,0.2\r\n"
                  "牛奶,19.99元,3,2024年3月7日11时0分0秒,19.99,3,59.97\r\n"
                  "合计 4 笔,63.87,8,,,8,63.87\r\n");
    EXPECT_EQ(rankingCsv(rankSales(kRows, RankBy::Revenue), {}),
              kBom +
                  "排名,商品名称,销售数量,数量占比,销售金额,金额占比,销售笔数\r\n"
                  "1,牛奶,3,30.0%,59.97,93.9%,1\r\n"
                  "2,面包,3,30.0%,3.6,5.6%,2\r\n"
                  "3,可乐,2,20.0%,0.3,0.5%,2\r\n"
                  "4,赠品,2,20.0%,0,0.0%,1\r\n"
                  "合计,,10,,63.87,,6\r\n");
    EXPECT_EQ(dailyCsv(dailySales(kRows, {2024, 3, 6}, {2024, 3, 7}), {}),
              kBom +
                  "日期,销售金额,销售数量,销售笔数\r\n"
                  "2024年3月5日,3.7,4,2\r\n"
                  "2024年3月6日,0,0,0\r\n"
                  "2024年3月7日,60.17,4,2\r\n"
                  "2024年3月8日,0,2,1\r\n"
                  "日期不明,0,0,1\r\n"
                  "合计,63.87,10,6\r\n");
}

TEST(ReportCsv, APartialTotalIsMarkedAndTheUnreadableTablesNamed) {
    const std::vector<std::string> unreadable = {"销售数据2024年3月5日9时0分0秒.edb",
                                                 "销售数据2024年3月6日9时0分0秒.edb"};
    const std::string names =
        "无法读取的销售表：销售数据2024年3月5日9时0分0秒.edb、销售数据2024年3月6日9时0分0秒."
        "edb\r\n";
    const std::vector<SalesRow> rows(kRows.begin(), kRows.begin() + 1);
    const auto endsWith = [](const std::string& s, const std::string& tail) {
        return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
    };
    EXPECT_TRUE(endsWith(salesCsv(rows, {1, 0.1, 1}, unreadable),
                         "合计 1 笔（不完整）,0.1,1,,,1,0.1\r\n" + names));
    EXPECT_TRUE(endsWith(rankingCsv(rankSales(rows, RankBy::Revenue), unreadable),
                         "合计（不完整）,,1,,0.1,,1\r\n" + names));
    EXPECT_TRUE(endsWith(dailyCsv(dailySales(rows, {2024, 3, 5}, {2024, 3, 5}), unreadable),
                         "合计（不完整）,0.1,1,1\r\n" + names));
}

}  // namespace
}  // namespace shop::test
