// Record operations on the current table: append, read, write, skip, zap,
// find, deletion marks and purge, and the conventions callers rely on.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "storage/table.h"
#include "storage/table_state.h"
#include "table_fixture.h"

using namespace shop::storage;
using namespace shop::storage::testing;

namespace {

using TableRecords = TableTest;

TEST_F(TableRecords, CreatedTableIsEmptyWithExactlyTheGivenFields) {
    const std::vector<FieldDesc> fields{{"头像", FieldType::Bytes, 451541},
                                        {"姓名", FieldType::Text, 20}};
    ASSERT_TRUE(create(path("员工.edb"), fields));
    EXPECT_EQ(openCount(), 0) << "create does not open the table";
    ASSERT_TRUE(open(path("员工.edb")));
    EXPECT_EQ(recordCount(), 0);
    const auto got = shop::storage::fields();
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].name, "头像");
    EXPECT_EQ(got[0].type, FieldType::Bytes);
    EXPECT_EQ(got[0].maxLength, 451541);
    EXPECT_EQ(got[1].name, "姓名");
    EXPECT_EQ(got[1].type, FieldType::Text);
    EXPECT_EQ(got[1].maxLength, 20);
    EXPECT_EQ(currentName(), "员工");
    EXPECT_EQ(currentPath(), path("员工.edb"));
}

TEST_F(TableRecords, AppendedRecordsReadBackInOrderThroughTheReadLoop) {
    const std::string p = makeTable("销售.edb", 300);
    close();
    ASSERT_TRUE(open(p));
    const int n = recordCount();
    ASSERT_EQ(n, 300);
    for (int i = 1; i <= n; ++i) {
        EXPECT_EQ(position(), i);
        for (int f = 1; f <= 4; ++f) {
            const auto v = readField(f);
            ASSERT_TRUE(v.has_value()) << i;
            EXPECT_TRUE(v->isText());
            EXPECT_EQ(v->data, cellText(i, f));
        }
        skip(1);
    }
    EXPECT_FALSE(readField(1).has_value()) << "past the last record nothing is read";
    EXPECT_EQ(readText(1), "");
}

TEST_F(TableRecords, AReadLoopQueriesTheFileOncePerBlockOfRecords) {
    const std::string p = makeTable("t.edb", 2000);
    ASSERT_TRUE(open(p));
    // SQLite counts the runs of each statement itself.
    auto& tables = detail::threadTables();
    detail::Connection* c = tables.connections.find(tables.current->id);
    ASSERT_NE(c, nullptr);
    const auto runs = [c] {
        int total = 0;
        for (auto s : {detail::Stmt::Count, detail::Stmt::BlockCells, detail::Stmt::BlockSmall,
                       detail::Stmt::ReadCell})
            total += sqlite3_stmt_status(c->statement(s), SQLITE_STMTSTATUS_RUN, 0);
        return total;
    };
    const int before = runs();
    const int n = recordCount();
    for (int i = 1; i <= n; ++i, skip(1))
        for (int f = 1; f <= 4; ++f) ASSERT_EQ(readText(f), cellText(i, f));
    ASSERT_EQ(tables.connections.find(tables.current->id), c)
        << "the same connection served the loop";
    const auto queries = runs() - before;
    EXPECT_GT(queries, 0) << "the reads were counted";
    EXPECT_LT(queries, 40) << "8000 fields read";
    // A write in between is seen at once.
    ASSERT_TRUE(open(p));
    skip(5);
    EXPECT_EQ(readText(1), cellText(6, 1));
    ASSERT_TRUE(writeText(1, "改"));
    EXPECT_EQ(readText(1), "改");
}

TEST_F(TableRecords, EveryRecordOperationIsALookupNotAScan) {
    const std::string p = makeTable("t.edb", 300);
    ASSERT_TRUE(open(p));
    skip(150);
    EXPECT_EQ(readText(3), cellText(151, 3));
    ASSERT_TRUE(writeText(3, "x"));
    markDeleted();
    EXPECT_TRUE(deletionMark());
    EXPECT_EQ(recordCount(), 300);
    ASSERT_TRUE(appendRecords(301, 310));
    auto& tables = detail::threadTables();
    detail::Connection* c = tables.connections.find(tables.current->id);
    ASSERT_NE(c, nullptr);
    using detail::Stmt;
    for (Stmt s : {Stmt::Count, Stmt::BlockCells, Stmt::ReadCell, Stmt::WriteCell, Stmt::Append,
                   Stmt::SetMark, Stmt::ReadMark}) {
        EXPECT_EQ(sqlite3_stmt_status(c->statement(s), SQLITE_STMTSTATUS_FULLSCAN_STEP, 0), 0)
            << "statement " << static_cast<int>(s) << " scans the table";
    }
}

TEST_F(TableRecords, PositionalLookupReadsTheRecordAtThatPosition) {
    const std::string p = makeTable("产品.edb", 1000);
    for (int k : {0, 1, 17, 499, 998, 999}) {
        ASSERT_TRUE(open(p));
        skip(k);
        EXPECT_EQ(readText(2), cellText(k + 1, 2)) << k;
        close();
    }
    ASSERT_TRUE(open(p));
    skip(1000);
    EXPECT_FALSE(readField(1).has_value());
    skip(-5000);
    EXPECT_EQ(position(), 1) << "the cursor never goes before record 1";
}

TEST_F(TableRecords, BlankRecordReadsEmptyValuesOfTheFieldTypes) {
    ASSERT_TRUE(create(path("t.edb"), {{"a", FieldType::Bytes, 10}, {"b", FieldType::Text, 10}}));
    ASSERT_TRUE(open(path("t.edb")));
    ASSERT_TRUE(appendBlank());
    EXPECT_EQ(recordCount(), 1);
    EXPECT_EQ(position(), 1);
    const auto a = readField(1), b = readField(2);
    ASSERT_TRUE(a && b);
    EXPECT_EQ(a->type, FieldType::Bytes);
    EXPECT_TRUE(a->data.empty());
    EXPECT_EQ(b->type, FieldType::Text);
    EXPECT_TRUE(b->data.empty());
    EXPECT_FALSE(readField(0).has_value());
    EXPECT_FALSE(readField(3).has_value());
}

TEST_F(TableRecords, WritesReplaceValuesAndKeepBytesExact) {
    ASSERT_TRUE(create(path("t.edb"),
                       {{"photo", FieldType::Bytes, 451541}, {"name", FieldType::Text, 20}}));
    ASSERT_TRUE(open(path("t.edb")));
    std::string photo(451541, '\0');
    for (std::size_t i = 0; i < photo.size(); ++i) photo[i] = static_cast<char>(i * 131 % 251);
    ASSERT_TRUE(appendBlank());
    ASSERT_TRUE(writeField(1, Value::bytes(photo)));
    ASSERT_TRUE(writeText(2, "张三"));
    ASSERT_TRUE(writeText(2, "李四"));
    ASSERT_TRUE(appendBlank());
    ASSERT_TRUE(writeField(1, Value::bytes(std::string("\0\1\2", 3))));
    close();
    ASSERT_TRUE(open(path("t.edb")));
    EXPECT_EQ(readText(2), "李四");
    const auto p = readField(1);
    ASSERT_TRUE(p.has_value());
    EXPECT_EQ(p->type, FieldType::Bytes);
    EXPECT_EQ(p->data, photo);
    skip(1);
    EXPECT_EQ(readField(1)->data, std::string("\0\1\2", 3));
    EXPECT_EQ(readText(2), "");
}

TEST_F(TableRecords, ReadingANameNeverLoadsThePhoto) {
    const std::string p = path("员工基本数据库.edb");
    ASSERT_TRUE(create(p, {{"photo", FieldType::Bytes, 451541}, {"name", FieldType::Text, 20}}));
    ASSERT_TRUE(open(p));
    {
        Batch b;
        for (int r = 1; r <= 30; ++r) {
            ASSERT_TRUE(appendBlank());
            ASSERT_TRUE(writeField(1, Value::bytes(std::string(451541, static_cast<char>(r)))));
            ASSERT_TRUE(writeText(2, cellText(r, 2)));
        }
        ASSERT_TRUE(b.commit());
    }
    closeAll();
    // The program runs SQLite without memory statistics (they cost a lock per
    // allocation); with every connection closed, turn them on to measure.
    ASSERT_EQ(sqlite3_shutdown(), SQLITE_OK);
    ASSERT_EQ(sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 1), SQLITE_OK);
    // Thirty photos are 13 MB: reading every name must stay far below one.
    sqlite3_int64 used = 0, peak = 0;
    ASSERT_TRUE(open(p));
    sqlite3_status64(SQLITE_STATUS_MEMORY_USED, &used, &peak, 1);
    const sqlite3_int64 before = used;
    for (int r = 1; r <= 30; ++r, skip(1)) ASSERT_EQ(readText(2), cellText(r, 2));
    sqlite3_status64(SQLITE_STATUS_MEMORY_USED, &used, &peak, 0);
    EXPECT_GT(peak, before) << "the statistics count";
    EXPECT_LT(peak - before, 400 * 1024) << "names read with photos";
    ASSERT_TRUE(open(p));
    skip(29);
    EXPECT_EQ(readField(1)->data, std::string(451541, static_cast<char>(30)));
}

TEST_F(TableRecords, RefusedWritesStoreNothing) {
    ASSERT_TRUE(
        create(path("t.edb"), {{"photo", FieldType::Bytes, 8}, {"name", FieldType::Text, 255}}));
    ASSERT_TRUE(open(path("t.edb")));
    EXPECT_FALSE(writeText(2, "x")) << "no record yet: the cursor stands past the end";
    ASSERT_TRUE(appendBlank());
    ASSERT_TRUE(writeText(2, "keep"));
    EXPECT_FALSE(writeText(1, "text into bytes"));
    EXPECT_FALSE(writeField(2, Value::bytes("bytes into text")));
    EXPECT_FALSE(writeField(1, Value::bytes("123456789"))) << "nine bytes into eight";
    EXPECT_TRUE(writeField(1, Value::bytes("12345678")));
    EXPECT_FALSE(writeText(3, "no such field"));
    EXPECT_FALSE(writeText(0, "no such field"));
    EXPECT_FALSE(writeText(2, std::string("\xff\xfe", 2))) << "not UTF-8";
    EXPECT_EQ(readText(2), "keep");
    EXPECT_EQ(readField(1)->data, "12345678");
    skip(1);
    EXPECT_FALSE(writeText(2, "past the end"));
    EXPECT_EQ(recordCount(), 1);
}

TEST_F(TableRecords, TextLimitCountsGbkBytes) {
    ASSERT_TRUE(create(path("t.edb"), fourTexts(255)));
    ASSERT_TRUE(open(path("t.edb")));
    ASSERT_TRUE(appendBlank());
    EXPECT_TRUE(writeText(1, std::string(255, 'a')));
    EXPECT_FALSE(writeText(1, std::string(256, 'a')));
    std::string chinese;
    for (int i = 0; i < 127; ++i) chinese += "中";
    EXPECT_TRUE(writeText(2, chinese + "a")) << "127 characters of two bytes plus one: 255";
    EXPECT_FALSE(writeText(3, chinese + "中")) << "128 characters of two bytes: 256";
    EXPECT_EQ(readText(1), std::string(255, 'a'));
    EXPECT_EQ(readText(2), chinese + "a");
    EXPECT_EQ(readText(3), "") << "nothing is cut and stored";
}

TEST_F(TableRecords, ReadOnlyTableRefusesEveryChange) {
    const std::string p = makeTable("t.edb", 2);
    close();
    const std::string before = readFile(p);
    ASSERT_TRUE(open(p, true));
    EXPECT_EQ(readText(1), cellText(1, 1));
    EXPECT_FALSE(writeText(1, "x"));
    EXPECT_FALSE(appendBlank());
    EXPECT_FALSE(zap());
    markDeleted();
    EXPECT_FALSE(deletionMark());
    EXPECT_FALSE(purge());
    Batch batch;
    EXPECT_FALSE(batch.active());
    EXPECT_EQ(recordCount(), 2);
    EXPECT_EQ(readFile(p), before);
}

TEST_F(TableRecords, ZapEmptiesTheTableAndKeepsTheFields) {
    const std::string p = makeTable("t.edb", 50);
    ASSERT_TRUE(zap());
    EXPECT_EQ(recordCount(), 0);
    EXPECT_FALSE(readField(1).has_value());
    EXPECT_TRUE(zap()) << "zap of an empty table succeeds";
    EXPECT_EQ(shop::storage::fields().size(), 4u);
    ASSERT_TRUE(appendRecords(1, 3));
    EXPECT_EQ(recordCount(), 3);
    EXPECT_EQ(position(), 3);
    EXPECT_EQ(checkIntegrity(p), "");
}

TEST_F(TableRecords, FindTestsTheCurrentRecordFirstThenMovesOn) {
    ASSERT_TRUE(open(makeTable("t.edb", 10)));
    skip(2);  // record 3
    int calls = 0;
    auto isRecord = [&](int r) {
        return [&calls, r] {
            ++calls;
            return readText(1) == cellText(r, 1);
        };
    };
    EXPECT_TRUE(find(isRecord(3)));
    EXPECT_EQ(position(), 3);
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(find(isRecord(7)));
    EXPECT_EQ(position(), 7);
    EXPECT_FALSE(find(isRecord(2))) << "find never moves backward";
    EXPECT_GT(position(), recordCount());
}

TEST_F(TableRecords, PurgeRemovesMarkedRecordsAndKeepsTheOrder) {
    const std::string p = makeTable("t.edb", 10);
    for (int r : {1, 4, 5, 10}) {
        ASSERT_TRUE(open(p));
        skip(r - 1);
        EXPECT_FALSE(deletionMark());
        markDeleted();
        EXPECT_TRUE(deletionMark());
    }
    EXPECT_EQ(recordCount(), 10) << "marked records still count until purged";
    ASSERT_TRUE(purge());
    ASSERT_TRUE(open(p));
    const std::vector<int> kept{2, 3, 6, 7, 8, 9};
    ASSERT_EQ(recordCount(), static_cast<int>(kept.size()));
    for (int r : kept) {
        EXPECT_FALSE(deletionMark());
        for (int f = 1; f <= 4; ++f) EXPECT_EQ(readText(f), cellText(r, f));
        skip(1);
    }
    ASSERT_TRUE(appendBlank());
    EXPECT_EQ(position(), 7) << "numbering stays dense after a purge";
    EXPECT_EQ(checkIntegrity(p), "");
}

TEST_F(TableRecords, TheEmployeeClearCommandRemovesEveryMatchingRecord) {
    // The directory's clear loop: N times find, mark, check the mark, purge.
    const std::string p = path("员工.edb");
    ASSERT_TRUE(create(p, fourTexts()));
    ASSERT_TRUE(open(p));
    for (const char* name : {"甲", "乙", "甲", "丙", "甲"}) {
        ASSERT_TRUE(appendBlank());
        ASSERT_TRUE(writeText(1, name));
    }
    ASSERT_TRUE(open(p));
    const int n = recordCount();
    for (int i = 0; i < n; ++i) {
        if (!find([] { return readText(1) == "甲"; })) continue;
        markDeleted();
        ASSERT_TRUE(deletionMark());
        ASSERT_TRUE(purge());
    }
    ASSERT_TRUE(open(p));
    ASSERT_EQ(recordCount(), 2);
    EXPECT_EQ(readText(1), "乙");
    skip(1);
    EXPECT_EQ(readText(1), "丙");
}

TEST_F(TableRecords, NothingIsCurrentWithoutAnOpenTable) {
    EXPECT_EQ(recordCount(), 0);
    EXPECT_EQ(position(), 0);
    EXPECT_FALSE(readField(1).has_value());
    EXPECT_FALSE(writeText(1, "x"));
    EXPECT_FALSE(appendBlank());
    EXPECT_FALSE(zap());
    EXPECT_FALSE(find([] { return true; }));
    EXPECT_FALSE(deletionMark());
    EXPECT_FALSE(purge());
    EXPECT_TRUE(shop::storage::fields().empty());
    EXPECT_EQ(currentName(), "");
    skip(3);
    markDeleted();
    close();
}

}  // namespace
