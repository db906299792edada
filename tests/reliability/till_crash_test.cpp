// The real main window in a child process (till_child/till_session.cpp),
// killed at random moments of a session of adds, deletes, clears and
// payments, or ended by a signal. After the restart its run's sales table
// holds exactly the rows paid for and those that were on screen: those after
// the last step reported, or after the step in flight; and every ticket names
// rows that are there, no two the same rows.
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
#include "checkout/ticket_table.h"
#include "killed_child.h"
#include "storage/table.h"
#include "support/run_folder.h"
#include "till_process.h"

namespace fs = std::filesystem;
using namespace shop::test;

namespace {

// The moment the child's counter clock gives its start.
const shop::storage::Moment kChildStart = tillSessionStart(0);

struct Found {
    Rows recorded;
    Restart restart;
    std::size_t tickets = 0;
    std::size_t dangling = 0;  // tickets naming rows that are not there, or rows of another
};

// Each ticket covers the rows after the one before it, all of them stored.
std::size_t danglingTickets(const std::vector<shop::checkout::Ticket>& tickets, std::size_t rows) {
    std::size_t dangling = 0;
    int next = 1;
    for (const auto& t : tickets) {
        const auto range = t.recordRange();
        if (!range || range->first < next || static_cast<std::size_t>(range->second) > rows) {
            ++dangling;
            continue;
        }
        next = range->second + 1;
    }
    return dangling;
}

// What the next start of the program finds and does.
Found restart(const RunFolder& run) {
    Found f;
    f.restart = restartProgram(run.dir());
    EXPECT_TRUE(f.restart.started);
    const std::string sales = run.paths().salesTable(kChildStart);
    if (fs::exists(sales)) f.recorded = readAll(sales);
    const std::string ticketPath = run.paths().ticketTable(kChildStart);
    if (fs::exists(ticketPath)) {
        const auto tickets = shop::checkout::readTickets(ticketPath);
        EXPECT_TRUE(tickets) << "the ticket table does not read";
        if (tickets) {
            f.tickets = tickets->size();
            f.dangling = danglingTickets(*tickets, f.recorded.size());
            std::vector<std::string> receipts;
            for (const auto& t : *tickets) receipts.push_back(t.receipt);
            std::sort(receipts.begin(), receipts.end());
            f.dangling += static_cast<std::size_t>(receipts.end() -
                                                   std::unique(receipts.begin(), receipts.end()));
        }
    }
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
        EXPECT_GT(r.tickets, 0u) << "the script took no payment";
        EXPECT_EQ(r.dangling, 0u);
        allTickets = r.tickets;
    }

    const int trials = crashTrials(4);
    int killed = 0, finished = 0, wrong = 0;
    std::size_t lost = 0, extra = 0, dangling = 0, payments = 0;
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
        EXPECT_LE(r.tickets, allTickets) << "trial " << i;
        dangling += r.dangling;
        payments += r.tickets;
        // Without a payment stored, every row stored came from the close or
        // from the journal.
        if (wasKilled && r.tickets == 0 && !r.recorded.empty() && r.restart.messages.isEmpty()) {
            // Rows came back from a journal only if the close had not stored them.
            EXPECT_EQ(k, all.size() - 1)
                << "trial " << i << ": recovered without telling the cashier";
        }
        for (const QString& m : r.restart.messages)
            EXPECT_TRUE(m.contains("2024年3月5日14时0分0秒")) << m.toStdString();
    }
    std::cout << "[ till crash ] " << trials << " trials (seed " << seed << "), " << killed
              << " killed, " << finished << " finished; " << wrong << " wrong, " << lost
              << " rows lost, " << extra << " rows extra; " << payments << " payments stored, "
              << dangling << " dangling tickets\n";
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(dangling, 0u);
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
