// The table tool's backup and restore, end to end, against a writer that
// never stops: every backup restores to tables that pass the tool's check
// and hold whole records only.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "backup_fixture.h"
#include "storage/run_lock.h"

namespace shop::backup::testing {
namespace {

namespace fs = std::filesystem;

int tool(const std::string& args) {
    const std::string command = std::string("'") + SHOP_TEST_TOOL + "' " + args + " >/dev/null";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string shellWord(const std::string& s) { return "'" + s + "'"; }

class BackupToolTest : public RunFolderTest {};

TEST_F(BackupToolTest, BackupsTakenWhileAWriterIsBusyRestoreToCheckedTables) {
    std::atomic<bool> stop{false}, writerFailed{false};
    std::atomic<int> written{20};
    // Appends one whole record per batch, nonstop, through the facility.
    std::thread writer([&] {
        writerFailed = !open(sales);
        for (int r = 21; !stop && !writerFailed; ++r) {
            Batch batch;
            writerFailed = !appendRecords(r, r) || !batch.commit();
            if (!writerFailed) written = r;
        }
        closeAll();
    });
    std::vector<int> atBackup;
    for (int i = 0; i < 3; ++i) {
        const int before = written;
        while (written < before + 20 && !writerFailed)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        EXPECT_EQ(tool("backup " + shellWord(run) + " " + shellWord(path("dest"))), 0);
        atBackup.push_back(written);
    }
    stop = true;
    writer.join();
    // The backups never made a write of the program fail.
    EXPECT_FALSE(writerFailed);
    ASSERT_GT(written, atBackup.back());

    const std::string salesRel = fs::relative(sales, run).string();
    std::vector<std::string> backups;
    for (const auto& e : fs::directory_iterator(path("dest"))) backups.push_back(e.path().string());
    std::sort(backups.begin(), backups.end());
    ASSERT_EQ(backups.size(), 3u);
    int previous = 0;
    for (std::size_t i = 0; i < backups.size(); ++i) {
        const std::string target = path("restored-" + std::to_string(i));
        ASSERT_EQ(tool("provision " + shellWord(target)), 0);
        ASSERT_EQ(tool("restore " + shellWord(backups[i]) + " " + shellWord(target)), 0)
            << backups[i];
        for (const auto& e : fs::recursive_directory_iterator(target)) {
            if (e.path().extension() == ".edb") {
                EXPECT_EQ(tool("check " + shellWord(e.path().string())), 0) << e.path();
            }
        }
        // Whole records only, more in each later backup, none past what
        // the writer had committed when the backup ended.
        ASSERT_TRUE(open(target + "/" + salesRel, true));
        const int n = recordCount();
        EXPECT_GT(n, previous);
        EXPECT_LE(n, atBackup[i]);
        for (int r = 1; r <= n; ++r, skip(1))
            for (int f = 1; f <= 4; ++f) ASSERT_EQ(readText(f), cellText(r, f)) << "record " << r;
        close();
        previous = n;
    }
}

TEST_F(BackupToolTest, RestoreOfASpoiledBackupFailsWithNothingReplaced) {
    ASSERT_EQ(tool("backup " + shellWord(run) + " " + shellWord(path("dest"))), 0);
    const std::string backup = fs::directory_iterator(path("dest"))->path().string();
    writeFile(backup + "/配置/fghh.ini", "[收银]\n店名=别家\n");
    const auto before = snapshot(run);
    EXPECT_EQ(tool("restore " + shellWord(backup) + " " + shellWord(run)), 1);
    EXPECT_EQ(snapshot(run), before);
    EXPECT_EQ(tool("backup " + shellWord(run)), 2);
}

// The program holds its run folder's lock while it runs: restore must not
// replace tables under it, and goes ahead once the program is gone.
TEST_F(BackupToolTest, RestoreWaitsForTheProgramToLeaveTheRunFolder) {
    ASSERT_EQ(tool("backup " + shellWord(run) + " " + shellWord(path("dest"))), 0);
    const std::string backup = fs::directory_iterator(path("dest"))->path().string();
    RunLock program;
    ASSERT_TRUE(program.acquire(run).ok());
    const auto before = snapshot(run);
    EXPECT_EQ(tool("restore " + shellWord(backup) + " " + shellWord(run)), 1);
    EXPECT_EQ(snapshot(run), before);
    program.release();
    EXPECT_EQ(tool("restore " + shellWord(backup) + " " + shellWord(run)), 0);
}

}  // namespace
}  // namespace shop::backup::testing
