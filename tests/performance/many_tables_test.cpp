// A year and more of daily runs: every table the query reads stays in the
// open-table set, and queries repeated over a thousand tables must still
// find every one of them.
#include <gtest/gtest.h>

#include <filesystem>

#include "sales_fixture.h"

namespace shop::test {
namespace {

using performance::runSalesQuery;

int openFileDescriptors() {
    int n = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++n;
    return n;
}

TEST(ManySalesTables, RepeatedQueriesOverAThousandTablesStayComplete) {
    RunFolder run;
    constexpr int kTables = 1000;
    const long long firstDay = storage::dayNumber({2021, 1, 1});
    double expectedRevenue = 0;
    for (int i = 0; i < kTables; ++i) {
        Moment start = storage::fromDayNumber(firstDay + i);
        // A different time of day for every run, never midnight.
        start.hour = i % 24;
        start.minute = i / 24;
        start.second = 7;
        makeSalesTable(run, start, {{"货" + std::to_string(i), std::to_string(i) + "元", "1", "t"}});
        expectedRevenue += i;
    }
    const int fdsBefore = openFileDescriptors();
    const auto query = queryOf(run, storage::fromDayNumber(firstDay), storage::fromDayNumber(firstDay + kTables - 1));
    for (int round = 0; round < 10; ++round) {
        const auto r = runSalesQuery(query);
        ASSERT_EQ(r.rows.size(), static_cast<std::size_t>(kTables)) << "round " << round;
        EXPECT_EQ(r.tablesRead, kTables);
        EXPECT_DOUBLE_EQ(r.revenue, expectedRevenue);
        EXPECT_DOUBLE_EQ(r.quantity, kTables);
    }
    // Every table is still in the open-table set, but not every file is held open.
    EXPECT_GE(storage::openCount(), kTables);
    EXPECT_LT(openFileDescriptors() - fdsBefore, kTables / 4);
}

}  // namespace
}  // namespace shop::test
