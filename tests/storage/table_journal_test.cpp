// Journals beside a table: a hot one restores its own table, and no other
// journal (left by a deleted table, or not a file at all) ever touches a
// table or blocks an open.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <filesystem>

#include "storage/table.h"
#include "storage/table_read_all.h"
#include "table_fixture.h"

using namespace shop::storage;
using namespace shop::storage::testing;

namespace {

class TableJournal : public TableTest {
protected:
    // Leaves `p` as a writer killed in the middle of a long batch leaves it:
    // pages of the batch already in the file and a hot journal beside it.
    // Returns the bytes of that file and that journal.
    std::pair<std::string, std::string> killedMidBatch(const std::string& p) {
        sqlite3* db = nullptr;
        EXPECT_EQ(sqlite3_open_v2(p.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
        // A tiny page cache makes the batch spill into the file early.
        EXPECT_EQ(sqlite3_exec(db,
                               "PRAGMA cache_size=2;BEGIN;"
                               "UPDATE cells SET value = printf('%.500c', 'z');"
                               "INSERT INTO records(deleted) SELECT 0 FROM records;",
                               nullptr, nullptr, nullptr),
                  SQLITE_OK);
        std::pair<std::string, std::string> state{readFile(p), readFile(p + "-journal")};
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        EXPECT_FALSE(state.second.empty()) << "the batch spilled into the file";
        return state;
    }

    // A 300-record table at `name` as a killed writer leaves it on disk: the
    // file and its hot journal. Returns the table's path.
    std::string tableWithHotJournal(const std::string& name) {
        const std::string p = makeTable(name, 300);
        closeAll();
        const auto [file, journal] = killedMidBatch(p);
        writeFile(p, file);
        writeFile(p + "-journal", journal);
        return p;
    }
};

TEST_F(TableJournal, AHotJournalStillRestoresItsOwnTable) {
    const std::string p = tableWithHotJournal("t.edb");
    ASSERT_TRUE(open(p, true));
    EXPECT_EQ(recordCount(), 300);
    skip(299);
    EXPECT_EQ(readText(4), cellText(300, 4));
    closeAll();
    EXPECT_EQ(checkIntegrity(p), "");
    EXPECT_FALSE(std::filesystem::exists(p + "-journal"));
}

TEST_F(TableJournal, AWholeTableReadRestoresFromAHotJournalToo) {
    const std::string p = tableWithHotJournal("t.edb");
    const TableContents all = readAllRecords(p, 4);
    ASSERT_TRUE(all.opened) << all.status.message();
    ASSERT_EQ(all.recordCount(), 300u);
    EXPECT_EQ(all.cells.back(), cellText(300, 4));
    EXPECT_EQ(checkIntegrity(p), "");
    EXPECT_FALSE(std::filesystem::exists(p + "-journal"));
}

TEST_F(TableJournal, AJournalLeftByADeletedTableNeverReachesANewOne) {
    const std::string p = makeTable("t.edb", 300);
    closeAll();
    const auto [file, journal] = killedMidBatch(p);

    // Deleting through the facility takes the journal along.
    writeFile(p, file);
    writeFile(p + "-journal", journal);
    ASSERT_TRUE(removeTable(p).ok());
    EXPECT_FALSE(std::filesystem::exists(p));
    EXPECT_FALSE(std::filesystem::exists(p + "-journal"));

    // A table deleted some other way leaves its journal: a new table of that
    // name must not take it for its own.
    writeFile(p + "-journal", journal);
    ASSERT_TRUE(create(p, fourTexts()));
    EXPECT_FALSE(std::filesystem::exists(p + "-journal"));
    ASSERT_TRUE(open(p));
    EXPECT_EQ(countRecords(), 0);
    EXPECT_EQ(fields().size(), 4u);
    ASSERT_TRUE(appendRecords(1, 2));
    closeAll();
    EXPECT_EQ(checkIntegrity(p), "");
}

TEST_F(TableJournal, AJournalThatIsNoFileIsRefusedWithoutWaiting) {
    const std::string p = makeTable("t.edb", 3);
    closeAll();
    const std::string before = readFile(p);
    const std::string journal = p + "-journal";
    // Opening a pipe for reading waits for a writer that never comes.
    ASSERT_EQ(::mkfifo(journal.c_str(), 0644), 0);
    EXPECT_FALSE(open(p));
    EXPECT_EQ(lastStatus().code(), Status::Code::Damaged);
    EXPECT_FALSE(open(p, true));
    EXPECT_NE(checkIntegrity(p), "");
    ASSERT_EQ(::unlink(journal.c_str()), 0);

    ASSERT_EQ(::mkdir(journal.c_str(), 0755), 0);
    EXPECT_FALSE(open(p));
    ASSERT_EQ(::rmdir(journal.c_str()), 0);
    ASSERT_EQ(::symlink(p.c_str(), journal.c_str()), 0);
    EXPECT_FALSE(open(p));
    ASSERT_TRUE(removeTable(p).ok()) << "deleting takes any journal along";
    EXPECT_FALSE(std::filesystem::exists(journal) || std::filesystem::is_symlink(journal));
    EXPECT_FALSE(before.empty());
}

}  // namespace
