// Table files from anywhere: foreign, crafted, damaged or random files are
// refused or read without harm, and never changed by the attempt.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <random>

#include "storage/table.h"
#include "storage/table_read_all.h"
#include "storage/table_visit.h"
#include "table_fixture.h"

using namespace shop::storage;
using namespace shop::storage::testing;

namespace {

class HostileTable : public TableTest {
protected:
    // A sound table with a few records, closed, for crafting.
    std::string sound(const std::string& name, int records = 3) {
        const std::string p = makeTable(name, records);
        closeAll();
        return p;
    }

    // Neither open mode nor a whole-table read accepts the file, and trying
    // changes no byte of it.
    void expectRefused(const std::string& p) {
        const std::string before = readFile(p);
        EXPECT_FALSE(open(p, true)) << p;
        EXPECT_FALSE(open(p)) << p;
        EXPECT_FALSE(readAllRecords(p, 4).opened) << p;
        EXPECT_EQ(openCount(), 0);
        EXPECT_NE(checkIntegrity(p), "");
        EXPECT_EQ(readFile(p), before) << "the refused file was changed";
    }

    // Each change, made to its own sound table, makes that table refused.
    template <std::size_t N>
    void expectEachRefused(const std::string& prefix, const char* const (&changes)[N]) {
        for (std::size_t i = 0; i < N; ++i) {
            const std::string p = sound(prefix + std::to_string(i) + ".edb");
            ASSERT_TRUE(rawExec(p, changes[i])) << changes[i];
            SCOPED_TRACE(changes[i]);
            expectRefused(p);
        }
    }
};

TEST_F(HostileTable, ForeignTagsAreRefused) {
    const std::string id = sound("id.edb");
    ASSERT_TRUE(rawExec(id, "PRAGMA application_id=7"));
    expectRefused(id);
    const std::string version = sound("version.edb");
    ASSERT_TRUE(rawExec(version, "PRAGMA user_version=2"));
    expectRefused(version);
    const std::string plain = path("plain.edb");
    writeFile(plain, "");
    ASSERT_TRUE(rawExec(plain, "CREATE TABLE t(x)"));
    expectRefused(plain);
}

TEST_F(HostileTable, ExtraOrChangedSchemaObjectsAreRefused) {
    const char* changes[] = {
        "CREATE TRIGGER wipe AFTER INSERT ON records BEGIN DELETE FROM cells; END",
        "CREATE INDEX byvalue ON cells(value)",
        "CREATE VIEW everything AS SELECT * FROM cells",
        "CREATE TABLE extra(x)",
        ("DROP TABLE cells; CREATE VIEW cells AS SELECT rec * 256 + 1 AS id, 'x' AS value FROM "
         "records"),
        "DROP TABLE cells; CREATE TABLE cells(id INTEGER PRIMARY KEY, value TEXT)",
        "DROP TABLE records",
    };
    expectEachRefused("schema", changes);
}

TEST_F(HostileTable, BadFieldDescriptionsAreRefused) {
    const char* changes[] = {
        // One statement in two literals.
        ("WITH RECURSIVE n(i) AS (SELECT 5 UNION ALL SELECT i + 1 FROM n WHERE i < 100000) "
         "INSERT INTO fields SELECT i, 'f', 1, 10 FROM n"),
        "UPDATE fields SET type = 3 WHERE pos = 2",
        "UPDATE fields SET maxlen = 0 WHERE pos = 1",
        "UPDATE fields SET maxlen = 1000000000 WHERE pos = 1",
        "UPDATE fields SET maxlen = 'ten' WHERE pos = 1",
        "UPDATE fields SET name = x'ff00' WHERE pos = 1",
        "DELETE FROM fields WHERE pos = 2",
        "DELETE FROM fields",
    };
    expectEachRefused("fields", changes);
}

TEST_F(HostileTable, OnlyRollbackJournalFilesOpenSoNoSideFilesAppear) {
    const std::string p = sound("wal.edb");
    ASSERT_TRUE(rawExec(p, "PRAGMA journal_mode=WAL"));
    expectRefused(p);
    EXPECT_EQ(folderFiles(), std::vector<std::string>{"wal.edb"});
}

TEST_F(HostileTable, TruncatedRandomAndEmptyFilesAreRefused) {
    const std::string big = sound("big.edb", 2000);
    const std::string whole = readFile(big);
    writeFile(path("half.edb"), whole.substr(0, whole.size() / 2));
    expectRefused(path("half.edb"));
    writeFile(path("header.edb"), whole.substr(0, 100));
    expectRefused(path("header.edb"));
    writeFile(path("empty.edb"), "");
    expectRefused(path("empty.edb"));
    std::mt19937 rng(42);
    std::string noise(64 * 1024, '\0');
    for (char& c : noise) c = static_cast<char>(rng());
    writeFile(path("noise.edb"), noise);
    expectRefused(path("noise.edb"));
}

TEST_F(HostileTable, DamagedPagesNeverCrashAReadLoop) {
    const std::string p = sound("damaged.edb", 3000);
    const std::string whole = readFile(p);
    std::mt19937 rng(7);
    for (int trial = 0; trial < 30; ++trial) {
        // A sound header over scrambled pages, in several patterns.
        std::string damaged = whole;
        const std::size_t from = 4096 + rng() % (whole.size() - 4096);
        const std::size_t length = std::min<std::size_t>(1 + rng() % 8192, damaged.size() - from);
        for (std::size_t i = 0; i < length; ++i) damaged[from + i] = static_cast<char>(rng());
        const std::string f = path("d" + std::to_string(trial) + ".edb");
        writeFile(f, damaged);
        // A whole-table read opens what an open opens and reads what the
        // read loop reads: every value off the damaged pages.
        const TableContents all = readAllRecords(f, 4);
        if (open(f, true)) {
            const int n = recordCount();
            EXPECT_LE(n, 1'000'000);
            std::vector<std::string> loop;
            for (int r = 0; r < n; ++r, skip(1))
                for (int field = 1; field <= 4; ++field) loop.push_back(readText(field));
            // The windows' row reader lists every record the loop reaches (a
            // value that fails as an empty text), never no rows at all.
            EXPECT_EQ(readTextRows(4).size(), static_cast<std::size_t>(n)) << trial;
            close();
            ASSERT_TRUE(all.opened) << trial;
            EXPECT_EQ(all.cells, loop) << trial;
        } else {
            EXPECT_FALSE(all.opened) << trial;
        }
        (void)checkIntegrity(f);
        EXPECT_EQ(readFile(f), damaged);
    }
}

TEST_F(HostileTable, WrongStoredTypesReadAsWhatTheyAreAndFailTheCheck) {
    const std::string p = sound("types.edb", 2);
    ASSERT_TRUE(rawExec(p,
                        "UPDATE cells SET value = x'00ff10' WHERE id = 257;"  // record 1, field 1
                        "UPDATE cells SET value = 42 WHERE id = 513"));
    ASSERT_TRUE(open(p, true));
    const auto bytes = readField(1);
    ASSERT_TRUE(bytes.has_value());
    EXPECT_EQ(bytes->type, FieldType::Bytes) << "a text field holding bytes says so";
    EXPECT_EQ(bytes->data, std::string("\x00\xff\x10", 3));
    EXPECT_EQ(readText(2), cellText(1, 2)) << "the other fields read normally";
    skip(1);
    EXPECT_EQ(readText(1), "42");
    close();
    EXPECT_NE(checkIntegrity(p).find("field 1"), std::string::npos) << checkIntegrity(p);
}

TEST_F(HostileTable, OverlongValuesFailToReadInsteadOfExhaustingMemory) {
    const std::string p = sound("long.edb", 2);
    ASSERT_TRUE(rawExec(p,
                        "UPDATE cells SET value = zeroblob(3000000) WHERE id = 258;"
                        "UPDATE cells SET value = printf('%.*c', 600, 'x') WHERE id = 515"));
    ASSERT_TRUE(
        rawExec(p, "DELETE FROM cells WHERE id = 260"));  // record 1, field 4: never written
    ASSERT_TRUE(open(p, true));
    EXPECT_FALSE(readField(2).has_value());
    EXPECT_EQ(readText(1), cellText(1, 1));
    ASSERT_TRUE(readField(4).has_value()) << "an unwritten field still reads as empty text";
    EXPECT_EQ(readField(4)->data, "");
    skip(1);
    EXPECT_EQ(readText(3).size(), 600u) << "stored longer than its field: read whole, never cut";
    close();
    EXPECT_NE(checkIntegrity(p), "");
}

TEST_F(HostileTable, GapsInTheRecordNumbersFailTheCheck) {
    const std::string p = sound("gaps.edb", 5);
    EXPECT_EQ(checkIntegrity(p), "");
    ASSERT_TRUE(rawExec(p, "DELETE FROM records WHERE rec = 3"));
    EXPECT_NE(checkIntegrity(p), "");
}

// Every reader takes the last record's number for the record count: a file
// numbering its records otherwise than 1..n would have a two-record file
// claim two billion records (a reserve of that many aborts the program).
TEST_F(HostileTable, RecordNumbersOtherThanOneToNAreRefused) {
    static const char* const changes[] = {
        "INSERT INTO records(rec) VALUES(2147483646)",
        "INSERT INTO records(rec) VALUES(30000000)",
        "INSERT INTO records(rec) VALUES(9000000000000)",
        "INSERT INTO records(rec) VALUES(5)",
        "DELETE FROM records WHERE rec = 1",
        "UPDATE records SET rec = 0 WHERE rec = 1",
        "UPDATE records SET rec = -1 WHERE rec = 1",
    };
    expectEachRefused("numbering", changes);
}

TEST_F(HostileTable, TablesSharingOneBTreeAreRefused) {
    const std::string p = sound("shared.edb", 5);
    ASSERT_TRUE(rawExec(
        p,
        "PRAGMA writable_schema=ON;UPDATE sqlite_schema SET rootpage = "
        "(SELECT rootpage FROM sqlite_schema WHERE name = 'records') WHERE name = 'cells'"));
    expectRefused(p);
}

// Damage deep inside a file that still opens (here a free list that loops)
// is found before the first write, which is refused: a damaged table never
// takes a write that could lose its records.
TEST_F(HostileTable, DamageFoundOnlyByAFullWalkRefusesEveryWrite) {
    const std::string p = makeTable("loop.edb", 400);
    ASSERT_TRUE(zap());
    closeAll();
    std::string bytes = readFile(p);
    const auto at = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const std::size_t pageSize = (std::size_t{at(16)} << 8) | at(17);
    const std::size_t trunk = (std::size_t{at(32)} << 24) | (at(33) << 16) | (at(34) << 8) | at(35);
    ASSERT_GT(trunk, 1u) << "the emptied table has free pages";
    // The first free-list page names itself as the next one.
    bytes.replace((trunk - 1) * pageSize, 4, bytes.substr(32, 4));
    writeFile(p, bytes);

    ASSERT_TRUE(open(p));
    EXPECT_EQ(countRecords(), 0);
    EXPECT_FALSE(appendBlank());
    EXPECT_EQ(lastStatus().code(), Status::Code::Damaged);
    Batch batch;
    EXPECT_FALSE(appendBlank());
    EXPECT_FALSE(batch.commit());
    closeAll();
    EXPECT_EQ(readFile(p), bytes) << "the damaged file was written";
    EXPECT_NE(checkIntegrity(p), "");
}

TEST_F(HostileTable, FoldersAndLinksNamedLikeTablesAreRefused) {
    ASSERT_EQ(::mkdir(path("x.edb").c_str(), 0755), 0);
    EXPECT_FALSE(open(path("x.edb")));
    EXPECT_FALSE(open(path("x.edb"), true));
    EXPECT_NE(checkIntegrity(path("x.edb")), "");
    const std::string real = sound("real.edb");
    ASSERT_EQ(::symlink(real.c_str(), path("link.edb").c_str()), 0);
    EXPECT_FALSE(open(path("link.edb")));
    EXPECT_FALSE(readAllRecords(path("link.edb"), 4).opened);
    EXPECT_FALSE(readAllRecords(path("x.edb"), 4).opened);
    EXPECT_TRUE(std::filesystem::is_directory(path("x.edb")));
}

}  // namespace
