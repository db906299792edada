// The open-table set: current table, select by name or path, reopening,
// closing, one set per thread, and bounded file descriptors.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <thread>

#include "storage/table.h"
#include "table_fixture.h"

using namespace shop::storage;
using namespace shop::storage::testing;

namespace {

using TableSet = TableTest;

TEST_F(TableSet, OpenMakesCurrentWithTheCursorOnRecordOne) {
    const std::string a = makeTable("产品数据库.edb", 5);
    const std::string b = makeTable("产品保存.edb", 3);
    EXPECT_EQ(openCount(), 2);
    EXPECT_EQ(currentName(), "产品保存");
    ASSERT_TRUE(open(a));
    EXPECT_EQ(openCount(), 2) << "reopening does not duplicate";
    EXPECT_EQ(currentName(), "产品数据库");
    EXPECT_EQ(position(), 1);
    skip(3);
    ASSERT_TRUE(select("产品保存"));
    EXPECT_EQ(recordCount(), 3);
    ASSERT_TRUE(select(a));
    EXPECT_EQ(position(), 4) << "select keeps the cursor";
    ASSERT_TRUE(open(a));
    EXPECT_EQ(position(), 1) << "reopening puts the cursor on record 1 again";
    EXPECT_EQ(readText(1), cellText(1, 1));
    EXPECT_FALSE(select("nothing"));
    EXPECT_EQ(currentPath(), a) << "a failed select changes nothing";
}

TEST_F(TableSet, SelectByNameFindsTheTableOpenedLast) {
    ASSERT_EQ(::mkdir(path("one").c_str(), 0755), 0);
    ASSERT_EQ(::mkdir(path("two").c_str(), 0755), 0);
    const std::string first = makeTable("one/张三.edb", 1);
    const std::string second = makeTable("two/张三.edb", 2);
    ASSERT_TRUE(open(first));
    ASSERT_TRUE(select(path("two/张三.edb")));
    EXPECT_EQ(recordCount(), 2);
    ASSERT_TRUE(select("张三"));
    EXPECT_EQ(currentPath(), first) << "reopened last, so found first by name";
    close("张三");
    EXPECT_EQ(openCount(), 1);
    ASSERT_TRUE(select("张三"));
    EXPECT_EQ(currentPath(), second);
}

TEST_F(TableSet, CloseLeavesNoTableCurrent) {
    const std::string a = makeTable("a.edb", 1);
    makeTable("b.edb", 1);
    close();
    EXPECT_EQ(openCount(), 1);
    EXPECT_EQ(currentName(), "");
    EXPECT_EQ(recordCount(), 0);
    EXPECT_FALSE(select("b")) << "a closed table is gone from the set";
    ASSERT_TRUE(select(a));
    close(a);
    EXPECT_EQ(openCount(), 0);
    close();  // nothing open: no effect
    EXPECT_EQ(openCount(), 0);
}

TEST_F(TableSet, MissingOrUnacceptablePathsDoNotOpen) {
    EXPECT_FALSE(open(path("missing.edb")));
    EXPECT_FALSE(open(""));
    const std::string a = makeTable("a.edb", 1);
    close();
    ASSERT_EQ(::mkdir(path("sub").c_str(), 0755), 0);
    EXPECT_FALSE(open(path("sub/../a.edb")));
    EXPECT_FALSE(open(dir() + "/./a.edb"));
    EXPECT_EQ(openCount(), 0);
    EXPECT_TRUE(open(a));
}

TEST_F(TableSet, ReadOnlyReopenKeepsAWritableTableWritable) {
    // The performance query reopens the run's sales table read-only; the
    // exit recording must still be able to write it afterwards.
    const std::string sales = makeTable("销售数据.edb", 1);
    ASSERT_TRUE(open(sales, true));
    ASSERT_TRUE(select(sales));
    ASSERT_TRUE(appendBlank());
    EXPECT_TRUE(writeText(1, "exit"));
    close();
    ASSERT_TRUE(open(sales, true));
    EXPECT_FALSE(appendBlank());
    ASSERT_TRUE(open(sales));
    EXPECT_TRUE(appendBlank()) << "a read-write open makes it writable";
}

TEST_F(TableSet, AFileReplacedUnderAnOpenTableIsReadAfreshOnReopen) {
    const std::string p = makeTable("t.edb", 3);
    ASSERT_EQ(::unlink(p.c_str()), 0);
    EXPECT_FALSE(open(p)) << "the file is gone";
    ASSERT_TRUE(create(p, {{"only", FieldType::Text, 10}}));
    ASSERT_TRUE(open(p));
    EXPECT_EQ(recordCount(), 0);
    EXPECT_EQ(shop::storage::fields().size(), 1u);
    ASSERT_TRUE(appendBlank());
    ASSERT_TRUE(writeText(1, "new"));
    closeAll();
    ASSERT_TRUE(open(p));
    EXPECT_EQ(readText(1), "new") << "the write went to the new file";
}

// A table kept open for long whose file goes meanwhile is taken again at its
// path: the same file stays, another table file there is taken, none is made
// again empty; anything else at the path is refused and left alone.
TEST_F(TableSet, ReattachTakesTheTableFileNowAtItsPath) {
    namespace fs = std::filesystem;
    const auto replaceWithTableOf5 = [this](const std::string& p) {
        const std::string other = makeTable("other.edb", 5);
        close(other);
        fs::remove(p);
        fs::rename(other, p);
    };
    struct Case {
        const char* what;
        std::function<void(const std::string&)> meanwhile;
        int recordsAfter;  // -1: refused
    } const cases[] = {
        {"nothing happened", [](const std::string&) {}, 3},
        {"file deleted", [](const std::string& p) { fs::remove(p); }, 0},
        {"folder made again empty",
         [](const std::string& p) {
             const fs::path folder = fs::path(p).parent_path();
             fs::remove_all(folder);
             fs::create_directory(folder);
         },
         0},
        {"another table of its fields put there", replaceWithTableOf5, 5},
        {"a file that is no table put there",
         [](const std::string& p) {
             fs::remove(p);
             writeFile(p, "not a table");
         },
         -1},
        {"folder gone", [](const std::string& p) { fs::remove_all(fs::path(p).parent_path()); },
         -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::create_directory(path("kept"));
        const std::string p = makeTable("kept/t.edb", 3);
        const std::string elsewhere = makeTable("elsewhere.edb", 1);
        c.meanwhile(p);
        ASSERT_TRUE(select(elsewhere));
        EXPECT_EQ(reattach(p), c.recordsAfter >= 0);
        if (c.recordsAfter >= 0) {
            EXPECT_EQ(currentPath(), p);
            EXPECT_EQ(recordCount(), c.recordsAfter);
            EXPECT_EQ(shop::storage::fields().size(), 4u);
            ASSERT_TRUE(appendRecords(c.recordsAfter + 1, c.recordsAfter + 1));
            closeAll();
            ASSERT_TRUE(open(p)) << "the write went to the file at the path";
            EXPECT_EQ(recordCount(), c.recordsAfter + 1);
        } else {
            EXPECT_FALSE(appendBlank());
            EXPECT_TRUE(isOpen(p)) << "the table stays in the set";
            if (fs::exists(p)) {
                EXPECT_EQ(readFile(p), "not a table");
            }
        }
        closeAll();
        fs::remove_all(path("kept"));
        fs::remove(elsewhere);
    }
    EXPECT_FALSE(reattach(path("never-open.edb")));
    EXPECT_FALSE(fs::exists(path("never-open.edb")));
}

TEST_F(TableSet, EachThreadHasItsOwnSetAndCurrentTable) {
    const std::string shared = makeTable("shared.edb", 0);
    const std::string mine = makeTable("mine.edb", 5);
    std::atomic<bool> workerOk{true};
    std::thread worker([&] {
        if (openCount() != 0 || currentName() != "") workerOk = false;
        for (int round = 0; round < 20; ++round) {
            if (!open(shared)) workerOk = false;
            Batch b;
            if (!appendRecords(round * 10 + 1, round * 10 + 10) || !b.commit()) workerOk = false;
            close();
        }
    });
    // Meanwhile this thread reads and writes its own current table.
    for (int round = 0; round < 200; ++round) {
        ASSERT_TRUE(select(mine));
        EXPECT_EQ(currentName(), "mine");
        ASSERT_TRUE(open(mine));
        skip(round % 5);
        EXPECT_EQ(readText(2), cellText(round % 5 + 1, 2));
        ASSERT_TRUE(open(shared));
        const int n = recordCount();
        EXPECT_EQ(n % 10, 0) << "a batch of the other thread shows whole or not at all";
    }
    worker.join();
    EXPECT_TRUE(workerOk);
    ASSERT_TRUE(open(shared));
    ASSERT_EQ(recordCount(), 200);
    for (int r = 1; r <= 200; ++r, skip(1)) ASSERT_EQ(readText(4), cellText(r, 4));
    EXPECT_EQ(openCount(), 2) << "the worker's opens never joined this thread's set";
}

TEST_F(TableSet, ThousandsOfOpenTablesStayWithinFewFiles) {
    // A performance query leaves every table it read open.
    constexpr int kTables = 1500;
    ASSERT_TRUE(create(path("base"), fourTexts()));
    for (int i = 0; i < kTables; ++i) {
        // Copies filled directly: 1500 durable creates would only test the disk.
        const std::string p = path(std::to_string(i) + ".edb");
        std::filesystem::copy_file(path("base"), p);
        ASSERT_TRUE(rawExec(p,
                            "PRAGMA synchronous=OFF;INSERT INTO records(rec) VALUES(1);"
                            "INSERT INTO cells VALUES(258, '" +
                                std::to_string(i) + "')"));
    }
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        rlimit low{256, 256};
        if (setrlimit(RLIMIT_NOFILE, &low) != 0) _exit(2);
        for (int i = 0; i < kTables; ++i) {
            if (!open(path(std::to_string(i) + ".edb")) || readText(2) != std::to_string(i))
                _exit(3);
            skip(i % 2);
        }
        // Every one is still usable, the earliest ones included.
        for (int i = 0; i < kTables; ++i) {
            if (!select(std::to_string(i)) || position() != 1 + i % 2) _exit(4);
            skip(-1);
            if (recordCount() != 1 || readText(2) != std::to_string(i)) _exit(5);
        }
        // Writes reach the right file after a connection was evicted too.
        if (!select("0") || !writeText(1, "first") || openCount() != kTables) _exit(6);
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    ASSERT_TRUE(open(path("0.edb")));
    EXPECT_EQ(readText(1), "first");
    ASSERT_TRUE(open(path("1499.edb")));
    EXPECT_EQ(readText(2), "1499");
}

}  // namespace
