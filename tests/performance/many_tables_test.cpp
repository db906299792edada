// A year and more of daily runs: queries repeated over a thousand tables
// find every one of them each time and leave no file held open.
#include <gtest/gtest.h>

#include <filesystem>

#include "sales_fixture.h"

namespace shop::test {
namespace {

using performance::runSalesQuery;

int openFileDescriptors() {
    int n = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
        ++n;
    return n;
}

TEST(ManySalesTables, RepeatedQueriesOverAThousandTablesStayComplete) {
    RunFolder run;
    constexpr int kTables = 1000;
    const long long firstDay = storage::dayNumber({2021, 1, 1});
    // One table written through the facility, copied under the name of every
    // other run (copies cost no disk syncs); each run at its own time of day.
    const std::string model =
        makeSalesTable(run, {2020, 1, 1, 9, 0, 0}, {{"货", "12元", "2", "t"}});
    for (int i = 0; i < kTables; ++i) {
        Moment start = storage::fromDayNumber(firstDay + i);
        start.hour = i % 24;
        start.minute = i / 24;
        start.second = 7;
        std::filesystem::copy_file(model, run.paths().salesTable(start));
    }
    std::filesystem::remove(model);

    const int fdsBefore = openFileDescriptors();
    const auto query = queryOf(run, storage::fromDayNumber(firstDay),
                               storage::fromDayNumber(firstDay + kTables - 1));
    const auto first = runSalesQuery(query);
    ASSERT_EQ(first.rows.size(), static_cast<std::size_t>(kTables));
    // Only the last table read stays open in this thread, and it is current.
    ASSERT_EQ(first.openedTables.size(), 1u);
    EXPECT_EQ(storage::currentPath(), first.openedTables[0]);
    EXPECT_EQ(storage::openCount(), 1);
    EXPECT_DOUBLE_EQ(first.revenue, 12.0 * 2 * kTables);
    EXPECT_DOUBLE_EQ(first.quantity, 2.0 * kTables);
    for (int round = 1; round < 10; ++round) {
        const auto r = runSalesQuery(query);
        ASSERT_EQ(r.rows.size(), static_cast<std::size_t>(kTables)) << "round " << round;
        EXPECT_TRUE(r.openedTables.empty());  // the same last table, still open
        EXPECT_EQ(r.revenue, first.revenue);
        EXPECT_EQ(r.quantity, first.quantity);
    }
    // The workers closed what they read: no file is left held open.
    EXPECT_EQ(storage::openCount(), 1);
    EXPECT_LE(openFileDescriptors() - fdsBefore, 2);
}

}  // namespace
}  // namespace shop::test
