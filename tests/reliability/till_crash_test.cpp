// The real main window in a child process (till_child/till_session.cpp),
// killed at random moments of a session of adds, deletes, clears, payments
// and refunds, or ended by a signal. After the restart its run's sales table
// holds exactly the rows paid for and those that were on screen: those after
// the last step reported, or after the step in flight; every ticket names
// rows that are there, no two the same rows; and no refund takes back more
// than its receipt sold.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <random>
#include <string>
#include <thread>

#include "app/scripted_platform.h"
#include "checkout/main_window.h"
#include "checkout/sale_journal.h"
#include "killed_child.h"
#include "storage/table.h"
#include "support/run_folder.h"
#include "ticket_check.h"
#include "till_process.h"

namespace fs = std::filesystem;
using namespace shop::test;

namespace {

// The moment the child's counter clock gives its start.
const shop::storage::Moment kChildStart = tillSessionStart(0);

struct Found {
    Rows recorded;
    Restart restart;
    TicketCheck tickets;
};

// What the next start of the program finds and does.
Found restart(const RunFolder& run) {
    Found f;
    f.restart = restartProgram(run.dir());
    EXPECT_TRUE(f.restart.started);
    const std::string sales = run.paths().salesTable(kChildStart);
    if (fs::exists(sales)) f.recorded = readAll(sales);
    f.tickets = checkTickets(run.dir());
    return f;
}

}  // namespace

// Recovery after SIGKILL.
TEST(TillCrash, AfterAKillTheRunsSalesAreTheRowsThatWereOnScreen) {
    constexpr int kSteps = 30;
    const unsigned seed = seedFrom("SHOP_CRASH_SEED");
    std::mt19937 random(seed);
    const unsigned script = random();

    // The whole session once, undisturbed: every state, and its duration.
    States all;
    double span = 0;
    std::size_t allTickets = 0;
    {
        RunFolder run;
        stockTheShop(run);
        const Child child = spawnTill("crash", run.dir(), script, kSteps);
        // Timed from the window up, as the kills below are: the start-up
        // before it would put a share of them past the session's end.
        std::string text;
        readUntil(child.out, text, "state 0 ");
        const auto t0 = std::chrono::steady_clock::now();
        text += readToEnd(child.out);
        const int status = waitFor(child.pid);
        ::close(child.out);
        span = static_cast<double>(std::chrono::duration_cast<std::chrono::microseconds>(
                                       std::chrono::steady_clock::now() - t0)
                                       .count());
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the session itself fails";
        all = parseStates(text);
        ASSERT_EQ(all.size(), static_cast<std::size_t>(kSteps + 1));
        const Found r = restart(run);
        EXPECT_EQ(r.recorded, all.back()) << "the close button recorded other rows";
        EXPECT_TRUE(r.restart.messages.isEmpty());
        EXPECT_EQ(r.restart.journalsLeft, 0u);
        EXPECT_GT(r.tickets.tickets, 0u) << "the script took no payment";
        EXPECT_GT(r.tickets.refunds, 0u) << "the script took nothing back";
        EXPECT_EQ(r.tickets.dangling + r.tickets.doubled + r.tickets.overRefunded, 0u);
        allTickets = r.tickets.tickets;
    }

    const int trials = crashTrials(4);
    int killed = 0, finished = 0, wrong = 0;
    std::size_t lost = 0, extra = 0, dangling = 0, payments = 0, refunds = 0, beyond = 0;
    for (int i = 0; i < trials; ++i) {
        RunFolder run;
        stockTheShop(run);
        const Child child = spawnTill("crash", run.dir(), script, kSteps);
        std::string text;
        readUntil(child.out, text, "state 0 ");  // the window is up
        std::thread drain([&] { text += readToEnd(child.out); });
        const auto delay =
            std::uniform_int_distribution<long long>(0, static_cast<long long>(span))(random);
        std::this_thread::sleep_for(std::chrono::microseconds(delay));
        kill(child.pid, SIGKILL);
        const int status = waitFor(child.pid);
        drain.join();
        ::close(child.out);
        const bool wasKilled = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
        wasKilled ? ++killed : ++finished;
        span *= wasKilled ? 1.05 : 0.8;  // keep the kills inside the session

        const States seen = parseStates(text);
        ASSERT_FALSE(seen.empty()) << "trial " << i;
        const std::size_t k = seen.size() - 1;
        const Found r = restart(run);
        const bool before = r.recorded == all[k];
        const bool after = k + 1 < all.size() && r.recorded == all[k + 1];
        if (!before && !after) {
            ++wrong;
            lost += rowsMissing(all[k], r.recorded);
            extra += rowsMissing(r.recorded, all[k]);
            ADD_FAILURE() << "trial " << i << " (seed " << seed << "): killed after step " << k
                          << ", " << all[k].size() << " rows on screen, " << r.recorded.size()
                          << " recorded";
        }
        EXPECT_EQ(r.restart.journalsLeft, 0u) << "trial " << i;
        EXPECT_LE(r.tickets.tickets, allTickets) << "trial " << i;
        EXPECT_EQ(r.tickets.unreadable, 0u) << "trial " << i;
        dangling += r.tickets.dangling + r.tickets.doubled;
        beyond += r.tickets.overRefunded;
        payments += r.tickets.tickets - r.tickets.refunds;
        refunds += r.tickets.refunds;
        // Without a payment stored, every row stored came from the close or
        // from the journal.
        if (wasKilled && r.tickets.tickets == 0 && !r.recorded.empty() &&
            r.restart.messages.isEmpty()) {
            // Rows came back from a journal only if the close had not stored them.
            EXPECT_EQ(k, all.size() - 1)
                << "trial " << i << ": recovered without telling the cashier";
        }
        for (const QString& m : r.restart.messages)
            EXPECT_TRUE(m.contains("2024年3月5日14时0分0秒")) << m.toStdString();
    }
    std::cout << "[ till crash ] " << trials << " trials (seed " << seed << "), " << killed
              << " killed, " << finished << " finished; " << wrong << " wrong, " << lost
              << " rows lost, " << extra << " rows extra; " << payments << " payments and "
              << refunds << " refunds stored, " << dangling << " dangling tickets, " << beyond
              << " refunds beyond their sale\n";
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(dangling, 0u);
    EXPECT_EQ(beyond, 0u);
    EXPECT_GT(killed, 0);
}

// TERM during a session, and the other signals that end one.
TEST(TillSessionEnd, ASignalRecordsTheRowsOnScreenBeforeTheProcessEnds) {
    for (const int signo : {SIGTERM, SIGHUP, SIGINT}) {
        RunFolder run;
        stockTheShop(run);
        const Child child = spawnTill("term", run.dir(), 7u + static_cast<unsigned>(signo), 12);
        std::string text;
        readUntil(child.out, text, "ready\n");
        kill(child.pid, signo);
        const int status = waitFor(child.pid);
        ::close(child.out);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "signal " << signo;
        const States seen = parseStates(text);
        ASSERT_EQ(seen.size(), 13u);
        ASSERT_FALSE(seen.back().empty());
        // Recorded by the process itself: nothing is left to recover.
        EXPECT_EQ(shop::checkout::journalsIn(run.dir()).size(), 0u) << "signal " << signo;
        EXPECT_EQ(readAll(run.paths().salesTable(kChildStart)), seen.back()) << "signal " << signo;
    }
}
