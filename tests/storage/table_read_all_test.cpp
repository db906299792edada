// Whole tables read at once: the same values as the read loop, a table
// another connection is writing read as committed, and the calling thread's
// own open tables left exactly as they were.
#include "storage/table_read_all.h"

#include <gtest/gtest.h>

#include "storage/table.h"
#include "table_fixture.h"

using namespace shop::storage;
using namespace shop::storage::testing;

namespace {

using TableReadAll = TableTest;

// Fields 1..width of every record of the table at `p`, by the read loop.
std::vector<std::string> readLoop(const std::string& p, int width) {
    std::vector<std::string> cells;
    EXPECT_TRUE(open(p, true));
    for (int r = recordCount(); r > 0; --r, skip(1))
        for (int f = 1; f <= width; ++f) cells.push_back(readText(f));
    close(p);
    return cells;
}

TEST_F(TableReadAll, ReadsWhatTheReadLoopReads) {
    const std::string p = path("mixed.edb");
    auto layout = fourTexts();
    layout.push_back({"照片", FieldType::Bytes, 500000});
    ASSERT_TRUE(create(p, layout));
    ASSERT_TRUE(open(p));
    ASSERT_TRUE(appendRecords(1, 300));
    ASSERT_TRUE(writeField(5, Value::bytes(std::string(400000, '\x89'))));
    ASSERT_TRUE(appendBlank());  // a record with no value written
    ASSERT_TRUE(appendRecords(302, 302, 2));
    closeAll();
    // Record 2, field 3: a number put there by another program.
    ASSERT_TRUE(rawExec(p, "UPDATE cells SET value = 42 WHERE id = 515"));

    for (const int asked : {1, 2, 5, 9}) {
        SCOPED_TRACE(asked);
        const TableContents all = readAllRecords(p, asked);
        ASSERT_TRUE(all.opened) << all.status.message();
        EXPECT_TRUE(all.status.ok());
        EXPECT_EQ(all.fields.size(), 5u);
        EXPECT_EQ(all.width, std::min(asked, 5));
        EXPECT_EQ(all.recordCount(), 302u);
        EXPECT_EQ(all.cells, readLoop(p, all.width));
    }
    const TableContents two = readAllRecords(p, 4);
    EXPECT_EQ(two.cells[4 + 2], "42");
    EXPECT_EQ(two.cells[300 * 4], "");
}

TEST_F(TableReadAll, AnEmptyTableOpensWithItsFieldsAndNoRecords) {
    const std::string p = path("empty.edb");
    ASSERT_TRUE(create(p, fourTexts()));
    const TableContents all = readAllRecords(p, 4);
    EXPECT_TRUE(all.opened);
    EXPECT_EQ(all.fields.size(), 4u);
    EXPECT_EQ(all.recordCount(), 0u);
}

TEST_F(TableReadAll, AMissingFileOrUnacceptablePathIsSaid) {
    const TableContents missing = readAllRecords(path("none.edb"), 4);
    EXPECT_FALSE(missing.opened);
    EXPECT_EQ(missing.status.code(), Status::Code::NotFound);
    EXPECT_EQ(lastStatus().code(), Status::Code::NotFound);
    EXPECT_EQ(readAllRecords(dir() + "/../x.edb", 4).status.code(), Status::Code::Invalid);
    EXPECT_TRUE(folderFiles().empty());
}

// The main window keeps its run's sales table open for writing while the
// performance query reads it; a batch in flight there is not seen, and
// nothing of the thread's open tables changes.
TEST_F(TableReadAll, ATableThisThreadIsWritingReadsAsCommitted) {
    const std::string other = makeTable("other.edb", 2);
    const std::string p = makeTable("own.edb", 3);
    Batch batch;
    ASSERT_TRUE(appendRecords(4, 6));

    const TableContents during = readAllRecords(p, 4);
    ASSERT_TRUE(during.opened) << during.status.message();
    EXPECT_EQ(during.recordCount(), 3u);
    EXPECT_EQ(during.cells.back(), cellText(3, 4));
    EXPECT_EQ(currentPath(), p);
    EXPECT_EQ(openCount(), 2);
    EXPECT_TRUE(isOpen(other));

    ASSERT_TRUE(batch.commit());
    ASSERT_TRUE(appendRecords(7, 7));
    const TableContents after = readAllRecords(p, 4);
    EXPECT_EQ(after.recordCount(), 7u);
    EXPECT_EQ(after.cells.back(), cellText(7, 4));
    closeAll();
    EXPECT_EQ(checkIntegrity(p), "");
}

}  // namespace
