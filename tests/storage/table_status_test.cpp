// Failures say what went wrong: the code, the file and the reason, and a
// reader can always tell "could not read" from "empty".
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <mutex>
#include <string>
#include <vector>

#include "storage/status.h"
#include "storage/table.h"
#include "storage/table_visit.h"
#include "support/exclusive_hold.h"
#include "table_fixture.h"

using namespace shop::storage;
using namespace shop::storage::testing;

namespace {

std::mutex g_logMutex;
std::vector<std::string> g_logged;

void collect(const Status& failure) {
    std::lock_guard lock(g_logMutex);
    g_logged.push_back(failure.message());
}

class TableStatus : public TableTest {
protected:
    void SetUp() override {
        TableTest::SetUp();
        g_logged.clear();
        setFailureLog(&collect);
    }
    void TearDown() override {
        setFailureLog(nullptr);
        TableTest::TearDown();
    }
};

using shop::test::ExclusiveHold;

TEST_F(TableStatus, OpenAndCreateSayWhyTheyFailed) {
    const std::string missing = path("missing.edb");
    Status s = openTable(missing);
    EXPECT_EQ(s.code(), Status::Code::NotFound);
    EXPECT_EQ(s.path(), missing);
    EXPECT_NE(s.message().find(missing), std::string::npos);
    EXPECT_EQ(lastStatus().code(), Status::Code::NotFound)
        << "the bool open records the same reason";

    const std::string foreign = path("foreign.edb");
    writeFile(foreign, std::string(4096, 'x'));
    EXPECT_FALSE(open(foreign));
    EXPECT_EQ(lastStatus().code(), Status::Code::Damaged);
    EXPECT_EQ(lastStatus().path(), foreign);

    const std::string p = makeTable("t.edb", 1);
    EXPECT_EQ(createTable(p, fourTexts()).code(), Status::Code::Exists);
    EXPECT_EQ(createTable(path("no/folder.edb"), fourTexts()).code(), Status::Code::NotFound);
    EXPECT_TRUE(createTable(path("new.edb"), fourTexts()).ok());
    EXPECT_TRUE(openTable(p).ok());
    EXPECT_EQ(lastStatus().code(), Status::Code::NotFound)
        << "a success does not clear the last failure";
}

TEST_F(TableStatus, AnEmptyTableReadsAsEmptyNotAsAFailure) {
    const std::string p = makeTable("t.edb", 0);
    const StatusWatch watch;
    EXPECT_EQ(countRecords(), 0);
    const auto names = readTextColumn(p, 1);
    ASSERT_TRUE(names.has_value());
    EXPECT_TRUE(names->empty());
    const auto rows = readTextRowsChecked(4);
    ASSERT_TRUE(rows.has_value());
    EXPECT_TRUE(rows->empty());
    EXPECT_FALSE(watch.failed());
    EXPECT_TRUE(watch.status().ok());
}

TEST_F(TableStatus, AFileHeldByAnotherWriterIsACouldNotReadNotAnEmptyTable) {
    const std::string p = makeTable("t.edb", 3);
    ExclusiveHold hold(p);
    ASSERT_TRUE(hold.held());
    const StatusWatch watch;
    EXPECT_EQ(countRecords(), std::nullopt);
    EXPECT_EQ(lastStatus().code(), Status::Code::Busy);
    EXPECT_EQ(lastStatus().path(), p);
    EXPECT_EQ(recordCount(), 0) << "the bare count stays as documented";
    EXPECT_EQ(readTextColumn(p, 1), std::nullopt)
        << "a column that could not be read is no empty column";
    EXPECT_TRUE(watch.failed());
    EXPECT_EQ(watch.status().code(), Status::Code::Busy);
    {
        std::lock_guard lock(g_logMutex);
        EXPECT_EQ(g_logged.size(), 1u) << "the same failure, again and again, is logged once";
    }
}

TEST_F(TableStatus, EachFailureIsLoggedOnceAndCallerErrorsNotAtAll) {
    const std::string p = makeTable("t.edb", 1);
    EXPECT_FALSE(open(path("missing.edb")));
    EXPECT_FALSE(writeText(9, "no such field"));
    EXPECT_EQ(lastStatus().code(), Status::Code::Invalid);
    {
        std::lock_guard lock(g_logMutex);
        EXPECT_TRUE(g_logged.empty());
    }

    const std::string foreign = path("foreign.edb");
    writeFile(foreign, std::string(4096, 'x'));
    EXPECT_FALSE(open(foreign));
    EXPECT_FALSE(open(foreign));
    closeAll();
    ASSERT_TRUE(open(p));
    EXPECT_FALSE(open(foreign));
    std::lock_guard lock(g_logMutex);
    ASSERT_EQ(g_logged.size(), 2u)
        << "twice in a row is one report; again after a success is a new one";
    EXPECT_NE(g_logged[0].find(foreign), std::string::npos);
    EXPECT_NE(g_logged[0].find("not a table file"), std::string::npos);
}

}  // namespace
