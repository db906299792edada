// A real full disk (small_disk.h): creating the run's sales table, the
// journal and its temporary file, a table's rollback journal or a backup
// fails with ENOSPC, for want of bytes or of files. Whatever fails is said,
// nothing stored is lost or damaged, and once there is room the same action
// stores everything.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QStatusBar>
#include <cstdio>
#include <filesystem>
#include <iostream>

#include "backup/backup.h"
#include "backup_check.h"
#include "small_disk.h"
#include "storage/schemas.h"
#include "storage/table.h"
#include "support/main_window_driver.h"
#include "table_state.h"
#include "till_process.h"

namespace fs = std::filesystem;
using namespace shop::test;
using namespace shop::storage;
using shop::backup::kRollingBackupFolder;

namespace {

// Room for the run folder, its backups and the fillers' own files.
constexpr std::uintmax_t kDiskBytes = 4 << 20, kDiskFiles = 400;

struct Room {
    const char* what;
    std::uintmax_t bytes, files;
};
// No byte free (files may still be made, not written), and no file free
// (bytes to spare, but nothing new can be made).
const Room kNoRoom[] = {{"no byte free", 0, 50}, {"no file free", 1 << 20, 0}};

#define SHOP_ON_SMALL_DISK(disk)                                             \
    SmallDisk disk(kDiskBytes, kDiskFiles);                                  \
    if (!disk.inside()) {                                                    \
        if (!disk.unavailable().empty()) GTEST_SKIP() << disk.unavailable(); \
        return;                                                              \
    }

void sellRows(const MainWindowDriver& d, int rows) {
    for (int i = 0; i < rows; ++i) {
        d.chooseGoods(i % 2);
        d.chooseQuantity("1");
        d.click("图形按钮_添加");
    }
}

void stock(const MainWindowDriver& d) {
    d.run.setProducts({{"苹果", "2.5元", "90"}, {"牛奶", "12元", "90"}});
    d.run.setProductSave({"苹果", "牛奶"});
    closeAll();
}

std::vector<std::string> unsoundTables(const std::string& runDir) {
    std::vector<std::string> found;
    for (const auto& f : fs::recursive_directory_iterator(runDir))
        if (f.path().extension() == ".edb" && !soundnessProblem(f.path().string()).empty())
            found.push_back(f.path().string());
    return found;
}

// Standard error of this process while it lives, for what the program says
// there.
class StderrCapture {
public:
    StderrCapture() : m_file(std::tmpfile()) {
        std::fflush(stderr);
        m_saved = ::dup(STDERR_FILENO);
        ::dup2(::fileno(m_file), STDERR_FILENO);
    }
    ~StderrCapture() { restore(); }
    std::string text() {
        restore();
        std::string out;
        std::rewind(m_file);
        char buf[4096];
        for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, m_file)) > 0;) out.append(buf, n);
        return out;
    }

private:
    void restore() {
        if (m_saved < 0) return;
        std::fflush(stderr);
        ::dup2(m_saved, STDERR_FILENO);
        ::close(m_saved);
        m_saved = -1;
    }
    std::FILE* m_file;
    int m_saved = -1;
};

}  // namespace

// The run's sales table cannot be made at start: said then; the rows are
// kept on screen through a failed close, and stored once there is room.
TEST(RealFullDisk, ASalesTableThatCannotBeMadeIsSaidAndTheRowsWaitForRoom) {
    SHOP_ON_SMALL_DISK(disk)
    for (const Room& room : kNoRoom) {
        SCOPED_TRACE(room.what);
        MainWindowDriver d(disk.dir());
        stock(d);
        disk.fill(room.bytes, room.files);
        d.start();
        ASSERT_FALSE(d.platform.exited());
        ASSERT_EQ(d.platform.messages().size(), 1);
        EXPECT_TRUE(d.platform.messages()[0].contains(QStringLiteral("无法创建")));
        sellRows(d, 3);
        const auto shown = d.rows();
        d.click("图形按钮1_关闭");
        EXPECT_FALSE(d.platform.exited());
        EXPECT_EQ(d.platform.messages().last(), "错误");
        EXPECT_EQ(d.rows(), shown);
        disk.empty();
        d.click("图形按钮1_关闭");
        EXPECT_TRUE(d.platform.exited());
        EXPECT_EQ(d.platform.exitCode(), 0);
        closeAll();
        EXPECT_EQ(readAll(d.window->runSalesPath()), shown);
        EXPECT_TRUE(unsoundTables(d.run.dir()).empty());
    }
}

// Leaving with less and less room: the close stores every row, or says
// "错误" and keeps them all on screen, never a part; the exit backup is whole
// or absent; with room again the next close stores what the first did not.
TEST(RealFullDisk, LeavingWithLittleRoomStoresEveryRowOrNoneAndEveryBackupIsWhole) {
    SHOP_ON_SMALL_DISK(disk)
    std::vector<Room> rooms;
    for (std::uintmax_t kib : {0, 4, 8, 16, 32, 64, 128, 256})
        rooms.push_back({"bytes", kib * 1024, 50});
    for (std::uintmax_t files : {0, 1, 2, 3, 4, 6, 8, 12})
        rooms.push_back({"files", 1 << 20, files});
    int stored = 0, refused = 0;
    for (const Room& room : rooms) {
        SCOPED_TRACE(std::string(room.what) + " " + std::to_string(room.bytes) + " " +
                     std::to_string(room.files));
        MainWindowDriver d(disk.dir());
        stock(d);
        // An earlier exit's backup, which a later one must leave whole.
        ASSERT_TRUE(shop::backup::rollingBackup(d.run.dir()).ok);
        d.start();
        ASSERT_TRUE(d.platform.messages().isEmpty());
        sellRows(d, 60);
        const auto shown = d.rows();
        disk.fill(room.bytes, room.files);
        d.click("图形按钮1_关闭");
        const bool left = d.platform.exited();
        left ? ++stored : ++refused;
        if (!left) {
            EXPECT_EQ(d.platform.messages(), QStringList{"错误"});
            EXPECT_EQ(d.rows(), shown);
            EXPECT_TRUE(readAll(d.window->runSalesPath()).empty());
        }
        disk.empty();
        if (!left) d.click("图形按钮1_关闭");
        EXPECT_TRUE(d.platform.exited());
        closeAll();
        EXPECT_EQ(readAll(d.window->runSalesPath()), shown);
        EXPECT_TRUE(unsoundTables(d.run.dir()).empty());
        const std::string backups = joinPath(d.run.dir(), kRollingBackupFolder);
        EXPECT_GE(finishedBackups(backups).size(), 1u);
        for (const auto& b : finishedBackups(backups)) EXPECT_EQ(backupProblem(b), "") << b;
        EXPECT_TRUE(partialBackups(backups).empty());
    }
    std::cout << "[ real full disk ] leaving: " << stored << " stored at once, " << refused
              << " refused until there was room\n";
    EXPECT_GT(stored, 0);
    EXPECT_GT(refused, 0);
}

// The table tool's backup without room fails with its reason and a failure
// code, leaves no backup (not even a hidden part of one) and no change to
// the run folder; with room it is whole.
TEST(RealFullDisk, AToolBackupWithoutRoomFailsWholeAndSaysSo) {
    SHOP_ON_SMALL_DISK(disk)
    RunFolder run(disk.dir());
    stockTheShop(run);
    ASSERT_TRUE(create(run.paths().salesTable({2024, 3, 5, 9, 0, 0}), schemas::sales()));
    writeAll(run.paths().salesTable({2024, 3, 5, 9, 0, 0}), {{"早先的", "1", "1", "2024年3月5日"}});
    closeAll();
    const TableState before = tableState(run.paths().product());
    std::vector<Room> rooms;
    for (std::uintmax_t kib : {0, 8, 16, 32, 64, 128}) rooms.push_back({"bytes", kib * 1024, 50});
    for (std::uintmax_t files : {0, 1, 2, 4, 6, 8, 10}) rooms.push_back({"files", 1 << 20, files});
    int failed = 0, made = 0;
    for (const Room& room : rooms) {
        SCOPED_TRACE(std::string(room.what) + " " + std::to_string(room.bytes) + " " +
                     std::to_string(room.files));
        const std::string dest = disk.dir() + "/backups-" + std::to_string(failed + made);
        disk.fill(room.bytes, room.files);
        const Child tool = spawnProcess(SHOP_TEST_TOOL, {"backup", run.dir(), dest}, {}, false);
        const int status = waitFor(tool.pid);
        disk.empty();
        const bool ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
        ok ? ++made : ++failed;
        EXPECT_EQ(finishedBackups(dest).size(), ok ? 1u : 0u);
        EXPECT_TRUE(partialBackups(dest).empty());
        for (const auto& b : finishedBackups(dest)) EXPECT_EQ(backupProblem(b), "") << b;
        EXPECT_EQ(tableState(run.paths().product()), before);
        EXPECT_TRUE(unsoundTables(run.dir()).empty());
        fs::remove_all(dest);
    }
    std::cout << "[ real full disk ] tool backup: " << made << " made, " << failed << " failed\n";
    EXPECT_GT(failed, 0);
    EXPECT_GT(made, 0);
}

// The journal cannot be made or written: the cashier sees it in the window at
// once, and a session ended by a signal promises recovery only of rows that
// the next start does recover.
TEST(RealFullDisk, AJournalThatCannotBeWrittenIsShownAndPromisesNoRecovery) {
    SHOP_ON_SMALL_DISK(disk)
    for (const Room& room : kNoRoom) {
        SCOPED_TRACE(room.what);
        MainWindowDriver d(disk.dir());
        stock(d);
        d.start();
        ASSERT_TRUE(d.platform.messages().isEmpty());
        disk.fill(room.bytes, room.files);
        sellRows(d, 2);
        const auto* status = d.window->findChild<QStatusBar*>(QStringLiteral("状态条1"));
        ASSERT_NE(status, nullptr);
        EXPECT_FALSE(status->currentMessage().isEmpty() && d.platform.messages().isEmpty())
            << "the journal failed and the window says nothing";
        StderrCapture capture;
        d.window->endSession();
        const std::string said = capture.text();
        EXPECT_TRUE(d.platform.exited());
        disk.empty();
        closeAll();
        const Restart next = restartProgram(d.run.dir());
        EXPECT_TRUE(next.started);
        Rows stored;
        for (const auto& f : fs::directory_iterator(d.run.paths().salesFolder())) {
            const Rows rows = readAll(f.path().string());
            stored.insert(stored.end(), rows.begin(), rows.end());
        }
        if (said.find("已留待下次启动时恢复") != std::string::npos) {
            EXPECT_EQ(stored.size(), 2u) << "promised a recovery that did not happen: " << said;
        }
        disk.empty();
    }
}
