// A query whose range of days crosses the end of a month (and a leap day)
// finds the runs of each side, the run started at midnight included, and
// nothing outside the range.
#include <gtest/gtest.h>

#include <algorithm>

#include "sales_fixture.h"

namespace shop::test {
namespace {

Records sorted(Records r) {
    std::sort(r.begin(), r.end());
    return r;
}

TEST(SalesQueryAcrossMonths, FindsTheRunsOnBothSidesOfTheMonthsEnd) {
    RunFolder run;
    const Records lastOfJanuary{{"一月末", "1", "1", "2024年1月31日23时59分59秒"}};
    const Records midnight{{"二月初", "2", "2", "2024年2月1日"}};
    const Records leapDay{{"闰日", "3", "3", "2024年2月29日12时0分0秒"}};
    const Records firstOfMarch{{"三月初", "4", "4", "2024年3月1日8时5分0秒"}};
    makeSalesTable(run, {2024, 1, 30, 10, 0, 0},
                   {{"范围之前", "9", "9", "2024年1月30日10时0分0秒"}});
    makeSalesTable(run, {2024, 1, 31, 23, 59, 59}, lastOfJanuary);
    makeSalesTable(run, {2024, 2, 1, 0, 0, 0}, midnight);
    makeSalesTable(run, {2024, 2, 29, 12, 0, 0}, leapDay);
    makeSalesTable(run, {2024, 3, 1, 8, 5, 0}, firstOfMarch);
    makeSalesTable(run, {2024, 3, 2, 7, 0, 0}, {{"范围之后", "9", "9", "2024年3月2日7时0分0秒"}});

    const auto r = runSalesQuery(queryOf(run, {2024, 1, 31}, {2024, 3, 1}));
    Records expected = lastOfJanuary;
    for (const Records* part : {&midnight, &leapDay, &firstOfMarch})
        expected.insert(expected.end(), part->begin(), part->end());
    EXPECT_EQ(sorted(asRecords(r.rows)), sorted(expected));
    EXPECT_EQ(r.revenue, 1 * 1 + 2 * 2 + 3 * 3 + 4 * 4);  // price times quantity
    EXPECT_EQ(r.quantity, 10);

    // The two days either side of the boundary alone.
    const auto edge = runSalesQuery(queryOf(run, {2024, 1, 31}, {2024, 2, 1}));
    Records bothSides = lastOfJanuary;
    bothSides.insert(bothSides.end(), midnight.begin(), midnight.end());
    EXPECT_EQ(sorted(asRecords(edge.rows)), sorted(bothSides));
}

}  // namespace
}  // namespace shop::test
