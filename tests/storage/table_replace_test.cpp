// Replacing a table's records with a list: the table ends equal to the list,
// or, when any part cannot be stored, exactly as it was.
#include "storage/table_replace.h"

#include <gtest/gtest.h>

#include "storage/table.h"
#include "table_fixture.h"

using namespace shop::storage;
using namespace shop::storage::testing;

namespace {

using Column = std::vector<std::string>;
using Rows = std::vector<std::vector<std::string>>;

Rows currentRows(int fieldCount) {
    Rows rows;
    skip(1 - position());
    for (int n = recordCount(), i = 0; i < n; ++i, skip(1)) {
        std::vector<std::string>& row = rows.emplace_back();
        for (int f = 1; f <= fieldCount; ++f) row.push_back(readText(f));
    }
    return rows;
}

struct ReplaceCase {
    const char* what;
    std::vector<Column> columns;
    bool readOnly;
    bool replaced;  // false: the three records made by the test stay
    Rows after;     // only when replaced
};

class TableReplace : public TableTest, public ::testing::WithParamInterface<ReplaceCase> {};

TEST_P(TableReplace, LeavesTheListOrWhatWasThere) {
    const ReplaceCase& c = GetParam();
    const std::string p = makeTable("t.edb", 3);
    const Rows before = currentRows(2);
    if (c.readOnly) {
        closeAll();
        ASSERT_TRUE(open(p, /*readOnly=*/true));
    }
    std::vector<const Column*> columns;
    for (const Column& column : c.columns) columns.push_back(&column);
    EXPECT_EQ(replaceRecords(columns), c.replaced) << c.what;
    closeAll();
    ASSERT_TRUE(open(p));
    EXPECT_EQ(currentRows(2), c.replaced ? c.after : before) << c.what;
    EXPECT_EQ(checkIntegrity(p), "");
}

const std::string kTooLong(256, 'x');

INSTANTIATE_TEST_SUITE_P(
    Cases, TableReplace,
    ::testing::Values(
        ReplaceCase{
            "fewer records", {{"a", "b"}, {"1", "2"}}, false, true, {{"a", "1"}, {"b", "2"}}},
        ReplaceCase{"one column, the rest empty", {{"a"}}, false, true, {{"a", ""}}},
        ReplaceCase{"nothing", {{}}, false, true, {}},
        ReplaceCase{"columns of unequal length", {{"a", "b"}, {"1"}}, false, false, {}},
        ReplaceCase{"a value that does not fit", {{"a", kTooLong}}, false, false, {}},
        ReplaceCase{"a read-only table", {{"a"}}, true, false, {}}));

TEST_F(TableTest, ReplacingWithoutACurrentTableFails) {
    const Column names{"a"};
    const Column* columns[] = {&names};
    EXPECT_FALSE(replaceRecords(columns));
}

}  // namespace
