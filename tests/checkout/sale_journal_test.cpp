// The journal of the open checkout list and the recovery of a run's sales
// from it at the next start.
#include "checkout/sale_journal.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "checkout/journal_file.h"
#include "checkout/recovery_notice.h"
#include "checkout/run_tables.h"
#include "checkout/sale_log.h"
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

// Each change appends to the journal: what was written stays as it was, and
// a change costs its own few bytes whatever the length of the list.
TEST_F(JournalTest, EachChangeOnlyAppendsToTheJournal) {
    SaleJournal j(journal, table, 0);
    ASSERT_TRUE(j.update(kRows));
    std::string before = *readFile(journal);
    for (const auto& rows : {std::vector<SaleRow>{kRows[0], kRows[1], kRows[0]},
                             std::vector<SaleRow>{kRows[0], kRows[0]}, std::vector<SaleRow>{}}) {
        ASSERT_TRUE(j.update(rows));
        const std::string after = *readFile(journal);
        EXPECT_EQ(after.substr(0, before.size()), before);
        EXPECT_LT(after.size() - before.size(), 100u);
        EXPECT_EQ(readJournal(journal), (OpenSale{table, 0, rows}));
        before = after;
    }
}

// A long day's changes do not make the journal grow without end: now and then
// it starts again from one snapshot of the list, and reads the same.
TEST_F(JournalTest, ALongRunStartsTheJournalAgainFromTheList) {
    SaleJournal j(journal, table, 0);
    std::vector<SaleRow> rows;
    std::uintmax_t largest = 0, written = 0;
    for (int i = 0; i < 400; ++i) {
        rows.push_back({std::string(2000, 'a') + std::to_string(i), "2.5元", "3", "d"});
        if (rows.size() > 10) rows.erase(rows.begin());
        ASSERT_TRUE(j.update(rows));
        largest = std::max(largest, fs::file_size(journal));
        written += 2000;
    }
    EXPECT_GT(written, 3 * largest);
    EXPECT_LT(largest, 300u * 1024);
    EXPECT_EQ(readJournal(journal), (OpenSale{table, 0, rows}));
    EXPECT_FALSE(fs::exists(journal + ".tmp"));
}

// Once rows are stored the count the table holds changes: the whole list is
// restated with it, so a crash after a partial recording stores nothing twice.
TEST_F(JournalTest, ANewRecordCountRestatesTheList) {
    SaleJournal j(journal, table, 0);
    ASSERT_TRUE(j.update(kRows));
    j.setRecorded(5);
    ASSERT_TRUE(j.update({kRows[1]}));
    EXPECT_EQ(readJournal(journal), (OpenSale{table, 5, {kRows[1]}}));
    j.setRecorded(6);
    ASSERT_TRUE(j.update({kRows[1]}));  // the same rows, a new count
    EXPECT_EQ(readJournal(journal), (OpenSale{table, 6, {kRows[1]}}));
}

TEST_F(JournalTest, AnUnwritableFolderStillTakesChangesButNoNewJournal) {
    SaleJournal j(journal, table, 0);
    ASSERT_TRUE(j.update(kRows));
    fs::permissions(run.dir(), fs::perms::owner_write, fs::perm_options::remove);
    const bool appended = j.update({});
    j.setRecorded(2);
    const bool restated = j.update(kRows);
    fs::permissions(run.dir(), fs::perms::owner_write, fs::perm_options::add);
    if (::geteuid() == 0) GTEST_SKIP() << "root writes anyway";
    EXPECT_TRUE(appended);
    EXPECT_FALSE(restated);
    EXPECT_EQ(readJournal(journal), (OpenSale{table, 0, {}}));
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
    fs::create_directory(run.paths().salesFolder());  // back, without the table
    recovered = recoverOpenSales(run.paths());
    ASSERT_EQ(recovered.size(), 1u);
    EXPECT_TRUE(recovered[0].stored);
    EXPECT_EQ(readAll(sales).size(), 2u);
}

// Nothing is stored from a journal that cannot be trusted, but neither is it
// passed over in silence: the cashier hears of it once, and the file is kept
// under a name no later start reads.
TEST_F(JournalTest, ForeignAndUnreadableJournalsAreSaidAndKeptButStoreNothing) {
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
    const auto recovered = recoverOpenSales(run.paths());
    EXPECT_FALSE(fs::exists(journal));  // an empty list is simply removed
    ASSERT_EQ(recovered.size(), 2u);
    for (const auto& [said, file] :
         {std::pair{recovered[0], stray}, std::pair{recovered[1], torn}}) {
        EXPECT_TRUE(said.unreadable);
        EXPECT_FALSE(fs::exists(file));
        EXPECT_EQ(said.keptAs, file + ".damaged");
        EXPECT_TRUE(fs::exists(said.keptAs));
        const std::string notice = recoveryNotice(said);
        EXPECT_NE(notice.find(fs::path(file).filename().string()), std::string::npos) << notice;
        EXPECT_NE(notice.find(said.keptAs), std::string::npos) << notice;
    }
    EXPECT_TRUE(readAll(run.paths().product()).empty());
    EXPECT_TRUE(recoverOpenSales(run.paths()).empty());  // said once
}

// A journal left by an earlier version of the program, which held the whole
// list, is recovered like any other.
TEST_F(JournalTest, AJournalOfTheEarlierFormIsStillRecovered) {
    { std::ofstream(journal, std::ios::binary) << encodeJournal({table, 0, kRows}); }
    const auto recovered = recoverOpenSales(run.paths());
    ASSERT_EQ(recovered.size(), 1u);
    EXPECT_TRUE(recovered[0].stored);
    EXPECT_FALSE(recovered[0].damaged);
    EXPECT_EQ(readAll(sales).size(), 2u);
    EXPECT_FALSE(fs::exists(journal));
}

// A run killed while it appended a change: the rows as they stood before
// that change are stored, and nothing is said of damage.
TEST_F(JournalTest, AJournalCutShortInItsLastChangeRecoversTheListBeforeIt) {
    std::uintmax_t beforeLast = 0;
    {
        SaleJournal j(journal, table, 0);
        ASSERT_TRUE(j.update(kRows));
        beforeLast = fs::file_size(journal);
        ASSERT_TRUE(j.update({kRows[0], kRows[1], {"面包", "3", "1", "d"}}));
    }
    fs::resize_file(journal, beforeLast + 7);
    const auto recovered = recoverOpenSales(run.paths());
    ASSERT_EQ(recovered.size(), 1u);
    EXPECT_EQ(recovered[0].rows, 2);
    EXPECT_FALSE(recovered[0].damaged);
    EXPECT_EQ(readAll(sales), (Rows{{"苹果", "2.5", "4", "2024年3月5日14时7分9秒"},
                                    {"牛奶", "12元", "1", "2024年3月5日14时8分0秒"}}));
    EXPECT_FALSE(fs::exists(journal));
}

// Damage in the middle: the list as it stood before the damaged change is
// stored, the cashier is told later changes are lost, and the journal is
// kept aside, never read again.
TEST_F(JournalTest, ADamagedChangeInTheMiddleRecoversUpToItSaysSoAndKeepsTheJournal) {
    std::uintmax_t damageAt = 0;
    {
        SaleJournal j(journal, table, 0);
        ASSERT_TRUE(j.update({kRows[0]}));
        damageAt = fs::file_size(journal) + 20;  // in the next entry
        ASSERT_TRUE(j.update(kRows));
        ASSERT_TRUE(j.update({kRows[1]}));
    }
    std::string bytes = *readFile(journal);
    bytes[damageAt] ^= 0x04;
    { std::ofstream(journal, std::ios::binary | std::ios::trunc) << bytes; }
    const auto recovered = recoverOpenSales(run.paths());
    ASSERT_EQ(recovered.size(), 1u);
    EXPECT_TRUE(recovered[0].stored);
    EXPECT_TRUE(recovered[0].damaged);
    EXPECT_EQ(readAll(sales), (Rows{{"苹果", "2.5", "4", "2024年3月5日14时7分9秒"}}));
    EXPECT_FALSE(fs::exists(journal));
    ASSERT_EQ(recovered[0].keptAs, journal + ".damaged");
    EXPECT_EQ(*readFile(recovered[0].keptAs), bytes);
    const std::string notice = recoveryNotice(recovered[0]);
    EXPECT_NE(notice.find("损坏"), std::string::npos) << notice;
    EXPECT_NE(notice.find(recovered[0].keptAs), std::string::npos) << notice;
    EXPECT_TRUE(recoverOpenSales(run.paths()).empty());
    EXPECT_EQ(readAll(sales).size(), 1u);
}

// A restart of the journal cut short leaves its temporary file; the journal
// itself is whole, and the temporary goes with it.
TEST_F(JournalTest, ATemporaryLeftByACutShortRestartIsNeitherReadNorKept) {
    ASSERT_TRUE(SaleJournal(journal, table, 0).update(kRows));
    { std::ofstream(journal + ".tmp", std::ios::binary) << std::string(kLogHeader) << "x"; }
    EXPECT_EQ(journalsIn(run.dir()), std::vector<std::string>{journal});
    ASSERT_EQ(recoverOpenSales(run.paths()).size(), 1u);
    EXPECT_EQ(readAll(sales).size(), 2u);
    EXPECT_FALSE(fs::exists(journal));
    EXPECT_FALSE(fs::exists(journal + ".tmp"));
}

}  // namespace
}  // namespace shop::checkout

namespace shop::checkout {
namespace {

// A journal at the bound is read (to its end, a stream of zeros here); one
// byte over it is set aside unread and said, as a damaged one is, and stores
// nothing.
TEST_F(JournalTest, AJournalOverTheBoundIsSetAsideUnreadAndSaid) {
    struct Case {
        std::uint64_t size;
        bool read;
    } const cases[] = {{kJournalSizeLimit, true}, {kJournalSizeLimit + 1, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        ASSERT_TRUE(SaleJournal(journal, table, 0).update(kRows));
        fs::resize_file(journal, c.size);  // sparse: no disk taken
        const auto runs = recoverOpenSales(run.paths());
        ASSERT_EQ(runs.size(), 1u);
        EXPECT_EQ(runs[0].stored, c.read);
        EXPECT_EQ(runs[0].oversized, !c.read);
        EXPECT_EQ(readAll(sales).size(), c.read ? kRows.size() : 0u);
        EXPECT_FALSE(fs::exists(journal)) << "no start reads it again";
        if (!c.read) {
            EXPECT_EQ(runs[0].keptAs, journal + ".damaged");
            EXPECT_NE(recoveryNotice(runs[0]).find("上限"), std::string::npos);
            fs::remove(runs[0].keptAs);
        }
        st::closeAll();
        fs::remove(sales);
    }
}

// No change makes a journal a start would set aside: one that would take it
// over the bound fails, as on a full disk, and the journal keeps the list
// before it.
TEST_F(JournalTest, NoChangeTakesTheJournalOverTheBound) {
    const std::string half(kJournalSizeLimit / 2 + 1024, 'x');
    const std::vector<SaleRow> one = {{half, "1", "1", "d"}};
    SaleJournal j(journal, table, 0);
    ASSERT_TRUE(j.update(one));
    EXPECT_FALSE(j.update({one[0], one[0]}));
    EXPECT_TRUE(j.failing());
    EXPECT_LE(fs::file_size(journal), kJournalSizeLimit);
    EXPECT_EQ(readJournal(journal)->rows, one);
    EXPECT_TRUE(j.update(kRows));
    EXPECT_FALSE(j.failing());
}

}  // namespace
}  // namespace shop::checkout
