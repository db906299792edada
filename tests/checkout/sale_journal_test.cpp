// The journal of the open checkout list and the recovery of a run's sales
// from it at the next start.
#include "checkout/sale_journal.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "checkout/run_tables.h"
#include "checkout/sale_recovery.h"
#include "storage/schemas.h"
#include "storage/table.h"
#include "support/run_folder.h"

namespace shop::checkout {
namespace {

namespace st = shop::storage;
namespace fs = std::filesystem;
using test::readAll;
using Rows = std::vector<std::vector<std::string>>;

const std::vector<SaleRow> kRows = {{"苹果", "2.5", "4", "2024年3月5日14时7分9秒"},
                                    {"牛奶", "12元", "1", "2024年3月5日14时8分0秒"}};

TEST(JournalText, ReadsBackWhateverTheCellsHold) {
    const OpenSale sale{"销售数据2024年3月5日14时7分9秒.edb",
                        3,
                        {{"a\nb", "1:2", "", "end\n"}, {std::string("\0x", 2), "元", "7", "d"}}};
    EXPECT_EQ(decodeJournal(encodeJournal(sale)), sale);
    EXPECT_EQ(decodeJournal(encodeJournal({"t.edb", 0, {}})), (OpenSale{"t.edb", 0, {}}));
}

TEST(JournalText, APartOrAnythingElseIsNoJournal) {
    const std::string whole = encodeJournal({"t.edb", 1, kRows});
    for (std::size_t cut = 0; cut < whole.size(); ++cut)
        EXPECT_FALSE(decodeJournal(std::string_view(whole).substr(0, cut))) << cut;
    EXPECT_FALSE(decodeJournal(whole + "x"));
    EXPECT_FALSE(decodeJournal("shop-open-sale 1\ntable 99999999999:x"));
}

class JournalTest : public ::testing::Test {
protected:
    test::RunFolder run;
    const std::string table = "销售数据2024年3月5日14时7分9秒.edb";
    const std::string sales = st::joinPath(run.dir(), st::kSalesFolder, table);
    const std::string journal = journalPath(run.dir(), table);

    std::string others() const { return run.paths().salesTable({2024, 3, 6, 9, 0, 0}); }
};

TEST_F(JournalTest, FollowsTheListAndIsGoneOnceStored) {
    SaleJournal j(journal, table, 0);
    ASSERT_TRUE(j.update(kRows));
    EXPECT_EQ(readJournal(journal), (OpenSale{table, 0, kRows}));
    ASSERT_TRUE(j.update({}));
    EXPECT_EQ(readJournal(journal), (OpenSale{table, 0, {}}));
    EXPECT_TRUE(j.remove());
    EXPECT_FALSE(fs::exists(journal));
    EXPECT_TRUE(j.remove());  // nothing left to remove
    // Beside the data folders, never in the sales folder the query lists,
    // and no temporary file is left over.
    EXPECT_EQ(fs::path(journal).parent_path(), fs::path(run.dir()));
    ASSERT_TRUE(j.update(kRows));
    EXPECT_EQ(journalsIn(run.dir()), std::vector<std::string>{journal});
    EXPECT_FALSE(fs::exists(journal + ".tmp"));
}

TEST_F(JournalTest, AnUnwritableFolderFailsTheUpdateAndKeepsTheLastJournal) {
    SaleJournal j(journal, table, 0);
    ASSERT_TRUE(j.update(kRows));
    fs::permissions(run.dir(), fs::perms::owner_write, fs::perm_options::remove);
    const bool updated = j.update({});
    fs::permissions(run.dir(), fs::perms::owner_write, fs::perm_options::add);
    if (::geteuid() == 0) GTEST_SKIP() << "root writes anyway";
    EXPECT_FALSE(updated);
    EXPECT_EQ(readJournal(journal)->rows, kRows);
}

TEST_F(JournalTest, RecoveryAppendsTheRowsToThatRunsOwnTableAndRemovesTheJournal) {
    ASSERT_TRUE(st::create(sales, st::schemas::sales()));
    test::writeAll(sales, {{"早先", "1", "1", "d"}});
    ASSERT_TRUE(SaleJournal(journal, table, 1).update(kRows));
    const auto recovered = recoverOpenSales(run.paths());
    ASSERT_EQ(recovered.size(), 1u);
    EXPECT_EQ(recovered[0].run, "2024年3月5日14时7分9秒");
    EXPECT_EQ(recovered[0].rows, 2);
    EXPECT_TRUE(recovered[0].stored);
    EXPECT_EQ(readAll(sales), (Rows{{"早先", "1", "1", "d"},
                                    {"苹果", "2.5", "4", "2024年3月5日14时7分9秒"},
                                    {"牛奶", "12元", "1", "2024年3月5日14时8分0秒"}}));
    EXPECT_FALSE(fs::exists(journal));
    EXPECT_EQ(st::openCount(), 0);
    EXPECT_TRUE(recoverOpenSales(run.paths()).empty());  // nothing twice
}

TEST_F(JournalTest, RecoveryCreatesTheTableARunNeverGot) {
    ASSERT_TRUE(SaleJournal(journal, table, 0).update(kRows));
    ASSERT_FALSE(fs::exists(sales));
    ASSERT_EQ(recoverOpenSales(run.paths()).size(), 1u);
    EXPECT_EQ(readAll(sales).size(), 2u);
    EXPECT_EQ(fs::path(sales).filename(), table);  // the run's own name
}

TEST_F(JournalTest, RowsStoredBeforeTheJournalWentAreNotStoredTwice) {
    ASSERT_TRUE(st::create(sales, st::schemas::sales()));
    ASSERT_TRUE(SaleJournal(journal, table, 0).update(kRows));
    // The exit recording committed, then the program died.
    ASSERT_EQ(startSalesTable(sales), SalesTableStart::Opened);
    ASSERT_EQ(recordSales(sales, kRows).outcome, ExitRecording::Recorded);
    st::closeAll();
    EXPECT_TRUE(recoverOpenSales(run.paths()).empty());
    EXPECT_EQ(readAll(sales).size(), 2u);
    EXPECT_FALSE(fs::exists(journal));
}

TEST_F(JournalTest, ATableThatCannotTakeTheRowsKeepsTheJournalForNextTime) {
    ASSERT_TRUE(SaleJournal(journal, table, 0).update(kRows));
    fs::remove_all(run.paths().salesFolder());
    auto recovered = recoverOpenSales(run.paths());
    ASSERT_EQ(recovered.size(), 1u);
    EXPECT_FALSE(recovered[0].stored);
    EXPECT_TRUE(fs::exists(journal));
    fs::create_directory(run.paths().salesFolder());
    recovered = recoverOpenSales(run.paths());
    ASSERT_EQ(recovered.size(), 1u);
    EXPECT_TRUE(recovered[0].stored);
    EXPECT_EQ(readAll(sales).size(), 2u);
}

TEST_F(JournalTest, EmptyForeignAndUnreadableJournalsStoreNothing) {
    ASSERT_TRUE(SaleJournal(journal, table, 0).update({}));
    // A journal naming a file outside the sales folder is not followed.
    const std::string stray = journalPath(run.dir(), "销售数据x.edb");
    {
        std::ofstream(stray, std::ios::binary)
            << encodeJournal({"../数据库管理/产品数据库.edb", 0, kRows});
    }
    const std::string torn = journalPath(run.dir(), "销售数据y.edb");
    {
        std::ofstream(torn, std::ios::binary)
            << encodeJournal({"销售数据y.edb", 0, kRows}).substr(0, 40);
    }
    EXPECT_TRUE(recoverOpenSales(run.paths()).empty());
    EXPECT_FALSE(fs::exists(journal));  // an empty list is simply removed
    EXPECT_TRUE(fs::exists(stray));
    EXPECT_TRUE(fs::exists(torn));
    EXPECT_TRUE(readAll(run.paths().product()).empty());
}

}  // namespace
}  // namespace shop::checkout
