// A program killed in the middle of one of the shop's multi-record writes
// leaves every table sound and holding either the state before the write or
// the state after it, never a part of it.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <random>

#include "killed_child.h"
#include "storage/data_paths.h"
#include "storage/schemas.h"
#include "storage/table.h"
#include "support/run_folder.h"
#include "table_state.h"
#include "writes.h"

namespace fs = std::filesystem;
using namespace shop::storage;
using namespace shop::test;
using std::chrono::microseconds;

namespace {

struct Tally {
    int killed = 0, finished = 0, before = 0, after = 0, damaged = 0;
};

// Runs the write `trials` times from the same starting file, each time killed
// at a random moment between its start and a little after its usual end.
Tally crashRepeatedly(const std::string& table, const std::function<bool()>& write, int trials) {
    Tally tally;
    QTemporaryDir keep;
    const std::string pristine = keep.filePath("pristine.edb").toStdString();
    closeAll();
    fs::copy_file(table, pristine);
    const TableState before = tableState(table);
    EXPECT_TRUE(before.opened);

    // Undisturbed runs give the state after the write and its longest duration.
    ChildRun whole;
    TableState after;
    for (int i = 0; i < 3; ++i) {
        fs::copy_file(pristine, table, fs::copy_options::overwrite_existing);
        const ChildRun run = runChild(write, microseconds(-1));
        EXPECT_EQ(run.end, ChildEnd::Finished);
        EXPECT_TRUE(run.succeeded) << "the write itself fails";
        if (run.elapsed > whole.elapsed) whole = run;
        const TableState state = tableState(table);
        if (i > 0) {
            EXPECT_EQ(state, after) << "the same write gave another result";
        }
        after = state;
        closeAll();
    }
    EXPECT_NE(after, before) << "the write changed nothing";

    const unsigned seed = seedFrom("SHOP_CRASH_SEED");
    std::mt19937 random(seed);
    // The kill moment is drawn from [0, span]. The write's duration varies with
    // the machine's load, so the span follows it: it shrinks after a write
    // that finished first and grows after a kill, settling where about one
    // write in five finishes, so kills land all through the write and its commit.
    double span = static_cast<double>(whole.elapsed.count()) * 1.3 + 1;
    const std::string folder = fs::path(table).parent_path().string();
    for (int i = 0; i < trials; ++i) {
        fs::copy_file(pristine, table, fs::copy_options::overwrite_existing);
        std::uniform_int_distribution<long long> moment(0, static_cast<long long>(span));
        const ChildRun run = runChild(write, microseconds(moment(random)));
        span *= run.end == ChildEnd::Finished ? 0.7 : 1.1;
        if (run.end == ChildEnd::Failed) {
            ADD_FAILURE() << "trial " << i << ": the child did not run";
            break;
        }
        if (run.end == ChildEnd::Killed) ++tally.killed;
        if (run.end == ChildEnd::Finished) {
            ++tally.finished;
            EXPECT_TRUE(run.succeeded) << "trial " << i;
        }
        // What the next start of the program finds.
        const TableState found = tableState(table);
        const std::string problem = soundnessProblem(table);
        const auto stray = strayFiles(folder);
        const bool isBefore = found == before, isAfter = found == after;
        // A write that said it succeeded is durable.
        if (run.end == ChildEnd::Finished && run.succeeded && !isAfter)
            ADD_FAILURE() << "trial " << i
                          << ": reported success but the table holds the state before";
        tally.before += isBefore;
        tally.after += isAfter;
        if (!found.opened || !problem.empty() || !stray.empty() || (!isBefore && !isAfter)) {
            ++tally.damaged;
            ADD_FAILURE() << "trial " << i << " (seed " << seed << "): opened " << found.opened
                          << ", " << problem << ", " << stray.size() << " stray files, "
                          << found.records.size() << " records (before " << before.records.size()
                          << ", after " << after.records.size() << ")";
        }
        closeAll();
    }
    std::cout << "[ crash ] " << fs::path(table).filename().string() << ": " << trials
              << " trials (seed " << seed << "), " << tally.killed << " killed, " << tally.finished
              << " finished; " << tally.before << " before, " << tally.after << " after, "
              << tally.damaged << " damaged; write takes " << whole.elapsed.count() << " us\n";
    return tally;
}

void expectMeaningful(const Tally& t, int trials) {
    EXPECT_EQ(t.damaged, 0);
    EXPECT_EQ(t.before + t.after, trials);
    // Kills that all land after the write would test nothing.
    EXPECT_GT(t.killed, 0);
}

}  // namespace

TEST(CrashDuringWrite, ExitRecordingOfAThousandRows) {
    RunFolder run;
    const DataPaths& paths = run.paths();
    const std::string sales = paths.salesTable({2024, 3, 5, 14, 7, 9});
    ASSERT_TRUE(create(sales, schemas::sales()));
    writeAll(sales, {{"早先的", "1", "1", "2024年3月5日14时7分10秒"}});
    const auto rows = sampleSalesRows(1000);
    const int trials = crashTrials(30);
    expectMeaningful(crashRepeatedly(
                         sales, [&] { return recordSales(sales, rows); }, trials),
                     trials);
}

TEST(CrashDuringWrite, RewritingAFiveThousandProductCatalogue) {
    RunFolder run;
    const std::string product = run.paths().product();
    writeAll(product, sampleProducts(5000, "旧"));
    const auto products = sampleProducts(5000, "新");
    const int trials = crashTrials(30);
    expectMeaningful(crashRepeatedly(
                         product, [&] { return rewriteProducts(product, products); }, trials),
                     trials);
}

TEST(CrashDuringWrite, SavingAnEmployeeWithAPhoto) {
    RunFolder run;
    const std::string employee = run.paths().employee();
    ASSERT_TRUE(saveEmployee(employee, sampleEmployee("张三", 300 * 1024)));
    const auto record = sampleEmployee("李四", 400 * 1024);
    const int trials = crashTrials(30);
    expectMeaningful(crashRepeatedly(
                         employee, [&] { return saveEmployee(employee, record); }, trials),
                     trials);
}
