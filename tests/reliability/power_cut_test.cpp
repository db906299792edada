// Power cuts at any moment of a day at the till. The day is recorded once
// (power_cut_day.h); each trial replays a state a power cut could leave at a
// random point of it (power_cut_disk.h) and starts the real program there.
// Then every session's rows are stored, journal recovery included, exactly
// as they were on screen, paid for or taken back; every table is sound;
// every ticket names stored rows and no refund takes back more than its
// receipt sold; every finished backup is what its manifest says.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <random>

#include "backup/backup.h"
#include "backup_check.h"
#include "killed_child.h"
#include "power_cut_day.h"
#include "power_cut_disk.h"
#include "storage/data_paths.h"
#include "storage/table.h"
#include "support/run_folder.h"
#include "table_state.h"
#include "ticket_check.h"
#include "till_process.h"

namespace fs = std::filesystem;
using namespace shop::test;
using namespace shop::storage;
using shop::backup::kRollingBackupFolder;

namespace {

struct Tally {
    int trials = 0, wrong = 0, unsound = 0;
    std::size_t lost = 0, doubled = 0;
    std::size_t payments = 0, refunds = 0;  // in the days recorded
};

int trialCount(int fallback) { return trialsFrom("SHOP_POWERCUT_TRIALS", fallback); }

// Problems of the run folder after the restart: unsound tables, backups
// that are not what they say.
std::vector<std::string> unsoundParts(const std::string& dir) {
    std::vector<std::string> found;
    for (const char* folder : kTableFolders) {
        std::error_code ec;
        for (const auto& f : fs::directory_iterator(joinPath(dir, folder), ec)) {
            if (f.path().extension() != ".edb") continue;
            const std::string problem = soundnessProblem(f.path().string());
            if (!problem.empty()) found.push_back(f.path().filename().string() + ": " + problem);
        }
    }
    const TicketCheck tickets = checkTickets(dir);
    if (tickets.dangling + tickets.doubled + tickets.overRefunded + tickets.unreadable > 0)
        found.push_back("tickets: " + std::to_string(tickets.dangling) + " dangling, " +
                        std::to_string(tickets.doubled) + " numbers given twice, " +
                        std::to_string(tickets.overRefunded) + " refunds beyond their sale, " +
                        std::to_string(tickets.unreadable) + " tables unreadable");
    for (const char* backups : {kRollingBackupFolder, kToolBackupFolder}) {
        for (const auto& b : finishedBackups(joinPath(dir, backups))) {
            const std::string problem = backupProblem(b);
            if (!problem.empty()) found.push_back(b + ": " + problem);
        }
    }
    return found;
}

// One trial: the power goes after a random number of the day's changes.
void cutAndRestart(const PowerCutDay& day, const PowerCutDisk& before, std::mt19937& random,
                   Tally& tally) {
    const std::size_t applied = day.randomCut(random);
    PowerCutDisk disk = before;
    for (std::size_t i = 0; i < applied; ++i) disk.apply(day.ops()[i]);
    ASSERT_TRUE(disk.problems().empty()) << disk.problems().front();
    QTemporaryDir image;
    disk.cut(image.path().toStdString(), random);
    const std::string dir = image.path().toStdString();

    const Restart r = restartProgram(dir);
    const DataPaths paths{dir};
    bool wrong = false;
    for (int s = 0; s < day.sessions(); ++s) {
        const std::string table = paths.salesTable(tillSessionStart(s));
        const Rows stored = fs::exists(table) ? readAll(table) : Rows{};
        const Kept kept = day.keptAfter(s, applied);
        if (std::find(kept.either.begin(), kept.either.end(), stored) != kept.either.end())
            continue;
        wrong = true;
        std::size_t lost = stored.size() + kept.either.front().size(), doubled = lost;
        for (const Rows& rows : kept.either) {
            lost = std::min(lost, rowsMissing(rows, stored));
            doubled = std::min(doubled, rowsMissing(stored, rows));
        }
        tally.lost += lost;
        tally.doubled += doubled;
        ADD_FAILURE() << "cut after " << applied << " of " << day.ops().size()
                      << " changes: session " << s << " kept " << kept.either.back().size()
                      << " rows on screen, " << stored.size() << " stored";
    }
    shop::storage::closeAll();
    std::vector<std::string> unsound = unsoundParts(dir);
    if (!r.started) unsound.push_back("the program did not start");
    if (r.journalsLeft != 0) unsound.push_back("a journal is left after the start");
    for (const std::string& b : day.backupsFinishedBefore(applied))
        if (!fs::is_directory(dir + "/" + b)) unsound.push_back("a finished backup is gone: " + b);
    for (const auto& u : unsound) ADD_FAILURE() << "cut after " << applied << ": " << u;
    ++tally.trials;
    tally.wrong += wrong;
    tally.unsound += !unsound.empty();
}

// Records days and cuts each of them at random points, `trials` in all.
Tally powerCutTrials(int trials, const std::string& unsynced, const char* label) {
    const unsigned seed = seedFrom("SHOP_POWERCUT_SEED");
    std::mt19937 random(seed);
    Tally tally;
    constexpr int kCutsPerDay = 50;
    for (int done = 0; done < trials; done += kCutsPerDay) {
        RunFolder run;
        stockTheShop(run);
        shop::storage::closeAll();
        QTemporaryDir keep;
        // The day starts from the run folder as it is now, durable whole.
        const PowerCutDisk start(run.dir());
        const DayPlan plan{3, 14, static_cast<unsigned>(random()), unsynced};
        const PowerCutDay day(run, plan, keep.filePath("trace").toStdString());
        if (!day.failure().empty()) {
            ADD_FAILURE() << day.failure();
            break;
        }
        const TicketCheck recorded = checkTickets(run.dir());
        tally.payments += recorded.tickets - recorded.refunds;
        tally.refunds += recorded.refunds;
        for (int i = done; i < std::min(trials, done + kCutsPerDay); ++i) {
            cutAndRestart(day, start, random, tally);
            if (::testing::Test::HasFatalFailure()) return tally;
        }
    }
    std::cout << "[ power cut ] " << label << ": " << tally.trials << " trials (seed " << seed
              << "), " << tally.wrong << " wrong, " << tally.lost << " rows lost, " << tally.doubled
              << " rows doubled, " << tally.unsound << " unsound; the days took " << tally.payments
              << " payments and " << tally.refunds << " refunds\n";
    return tally;
}

}  // namespace

TEST(PowerCut, EveryRowOnScreenIsStoredOnceAndEveryTableAndBackupIsSound) {
    const Tally t = powerCutTrials(trialCount(8), "", "the program as it is");
    EXPECT_EQ(t.wrong, 0);
    EXPECT_EQ(t.lost, 0u);
    EXPECT_EQ(t.doubled, 0u);
    EXPECT_EQ(t.unsound, 0);
    EXPECT_GT(t.refunds, 0u) << "the days took nothing back";
}

// The same trials with the journal's syncs dropped: a program that forgot
// them. The trials must see the rows it loses, or they prove nothing.
TEST(PowerCut, TheTrialsCatchAJournalThatIsNeverSynced) {
    Tally t;
    ::testing::TestPartResultArray expected;  // each loss the trials report
    {
        const ::testing::ScopedFakeTestPartResultReporter quiet(
            ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &expected);
        t = powerCutTrials(trialCount(30), ".journal", "journal syncs dropped");
    }
    EXPECT_GT(t.lost, 0u);
    EXPECT_GT(expected.size(), 0);
}
