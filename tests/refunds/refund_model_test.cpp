// 退货 without a window: looking up a receipt, taking back what it sold and
// no more, across refunds and runs, and the refund stored like a sale.
#include "refunds/refund_model.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "checkout/recovery_notice.h"
#include "checkout/ticket_table.h"
#include "refund_fixture.h"

namespace shop::refunds {
namespace {

using namespace shop::checkout;
using test::readAll;
using Rows = std::vector<std::vector<std::string>>;

class RefundTest : public SoldFixture {
protected:
    RefundResult refund(std::vector<int> quantities, const storage::Moment& at = kBack) {
        RefundModel model(run->sale, folder.dir());
        EXPECT_EQ(model.lookUp(kSold), LookupOutcome::Found);
        for (std::size_t i = 0; i < quantities.size(); ++i)
            if (!model.choose(i, quantities[i])) return {RefundOutcome::TooMany, {}};
        return model.confirm("小王", at);
    }
    std::vector<int> left() {
        RefundModel model(run->sale, folder.dir());
        EXPECT_EQ(model.lookUp(kSold), LookupOutcome::Found);
        std::vector<int> out;
        for (const ReceiptLine& line : model.lookup().lines) out.push_back(line.left());
        return out;
    }
    std::vector<std::string> stock() const {
        std::vector<std::string> out;
        for (const auto& row : readAll(folder.paths().product())) out.push_back(row[2]);
        return out;
    }
};

TEST_F(RefundTest, ARefundIsStoredLikeASaleWithNegativeQuantitiesAndItsOwnTicket) {
    std::vector<FinishedSale> handedOn;
    QObject::connect(&run->sale, &SaleModel::saleFinished,
                     [&handedOn](const FinishedSale& s) { handedOn.push_back(s); });
    run->sale.addLine({{"牛奶", "6", "2", "2024年3月5日14时59分0秒"}, 1});  // the next customer
    RefundModel model(run->sale, folder.dir());
    ASSERT_EQ(model.lookUp(" 01-20240305-0001 "), LookupOutcome::Found);
    ASSERT_EQ(model.lookup().lines.size(), 2u);
    EXPECT_EQ(model.lookup().lines[0].sold, 3);
    ASSERT_TRUE(model.choose(0, 2));
    EXPECT_EQ(model.amount(), 900);
    const RefundResult result = model.confirm("小王", kBack);
    ASSERT_EQ(result.outcome, RefundOutcome::Refunded);
    EXPECT_EQ(result.stored.outcome, CheckoutOutcome::Finished);

    EXPECT_EQ(readAll(run->salesPath), (Rows{{"方便面", "4.5元", "3", "2024年3月5日14时8分0秒"},
                                             {"牛奶", "6", "1", "2024年3月5日14时8分5秒"},
                                             {"方便面", "4.5元", "-2", "2024年3月5日15时0分0秒"}}));
    const auto tickets = readTickets(folder.paths().ticketTable(kStart));
    ASSERT_TRUE(tickets);
    ASSERT_EQ(tickets->size(), 2u);
    const Ticket& t = tickets->back();
    EXPECT_EQ(t.receipt, "01-20240305-0002");
    EXPECT_EQ(t.original, kSold);
    EXPECT_EQ(t.recordRange(), std::pair(3, 3));
    EXPECT_EQ(t.total, "-9.00");
    EXPECT_EQ(t.change, "0.00");
    EXPECT_EQ(t.method, "微信");  // paid back the way it was paid
    EXPECT_EQ(t.cashier, "小王");
    EXPECT_EQ(stock(), (std::vector<std::string>{"9", "4"}));  // 10 - 3 + 2, 5 - 1
    ASSERT_EQ(handedOn.size(), 1u);
    EXPECT_EQ(handedOn[0].original, kSold);
    // The next customer's line stays open and goes at exit after the refund.
    ASSERT_EQ(run->sale.lines().size(), 1u);
    EXPECT_EQ(run->sale.recordOpenList().outcome, ExitRecording::Recorded);
    EXPECT_EQ(readAll(run->salesPath).size(), 4u);
    EXPECT_EQ(model.lookup().lines[0].refunded, 2);  // looked up again
}

TEST_F(RefundTest, NothingComesBackTwiceOrBeyondWhatTheReceiptSold) {
    const struct {
        const char* what;
        std::vector<int> quantities;
        bool restart;  // a new run of the program first
        RefundOutcome outcome;
        std::vector<int> left;  // afterwards
    } cases[] = {
        {"more than sold", {4, 0}, false, RefundOutcome::TooMany, {3, 1}},
        {"nothing chosen", {0, 0}, false, RefundOutcome::NothingChosen, {3, 1}},
        {"part", {2, 0}, false, RefundOutcome::Refunded, {1, 1}},
        {"again beyond what is left", {2, 0}, false, RefundOutcome::TooMany, {1, 1}},
        {"the rest, next run", {1, 1}, true, RefundOutcome::Refunded, {0, 0}},
        {"once more, two days on", {0, 1}, true, RefundOutcome::TooMany, {0, 0}},
    };
    int runs = 0;
    for (const auto& c : cases) {
        if (c.restart) restartAt(++runs == 1 ? storage::Moment{2024, 3, 5, 16, 0, 0} : kLater);
        EXPECT_EQ(refund(c.quantities).outcome, c.outcome) << c.what;
        EXPECT_EQ(left(), c.left) << c.what;
    }
    EXPECT_EQ(stock(), (std::vector<std::string>{"10", "5"}));
}

// Two windows on one receipt: the second confirm reads what the first stored.
TEST_F(RefundTest, TheTablesDecideAtConfirmNotWhatWasShown) {
    RefundModel first(run->sale, folder.dir()), second(run->sale, folder.dir());
    ASSERT_EQ(first.lookUp(kSold), LookupOutcome::Found);
    ASSERT_EQ(second.lookUp(kSold), LookupOutcome::Found);
    ASSERT_TRUE(first.choose(0, 3));
    ASSERT_TRUE(second.choose(0, 1));
    EXPECT_EQ(first.confirm("小王", kBack).outcome, RefundOutcome::Refunded);
    EXPECT_EQ(second.confirm("小王", kBack).outcome, RefundOutcome::TooMany);
    EXPECT_EQ(refundText(RefundResult{RefundOutcome::TooMany, {}}, second.lookup()),
              "退货数量超过小票所售数量");
    EXPECT_EQ(readAll(run->salesPath).size(), 3u);
}

// A refund cut short by a crash waits in the journal: until the next start
// finishes it, it counts against the receipt; then it is stored once.
TEST_F(RefundTest, ARefundCutShortIsFinishedOnceAndCountsMeanwhile) {
    run->sale.addLine({{"牛奶", "6", "2", "2024年3月5日14时59分0秒"}, 1});  // the next customer
    FinishedSale refund;
    refund.receipt = "01-20240305-0002";
    refund.original = kSold;
    refund.salesTable = std::filesystem::path(run->salesPath).filename().string();
    refund.firstRecord = 3;
    refund.lines = {{{"方便面", "4.5元", "-3", "2024年3月5日15时0分0秒"}, -1}};
    refund.total = refund.tendered = -1350;
    refund.method = PaymentMethod::WeChat;
    refund.stock = {{1, "方便面", "7", "10"}};
    {
        // What 收款's journal holds when the power goes before any table.
        SaleJournal journal(run->sale.journalPath(), refund.salesTable, 2);
        ASSERT_TRUE(journal.update(run->sale.rows()));
        ASSERT_TRUE(journal.begin(refund));
    }
    const JournalContents kept = loadJournal(run->sale.journalPath());
    ASSERT_TRUE(kept.sale && kept.pending);
    EXPECT_EQ(kept.sale->rows, run->sale.rows());  // the open list stays beside it
    const SaleModel idle;
    EXPECT_EQ(lookUpReceipt(folder.dir(), kSold, idle.pending()).lines[0].left(), 0);

    run.reset();
    storage::closeAll();
    const auto recovered = recoverOpenSales(folder.paths());
    ASSERT_EQ(recovered.size(), 1u);
    EXPECT_NE(recoveryNotice(recovered[0]).find("退货（小票 01-20240305-0002）"), std::string::npos)
        << recoveryNotice(recovered[0]);
    EXPECT_TRUE(recoverOpenSales(folder.paths()).empty());  // a second start finds nothing
    const Rows stored = readAll(folder.paths().salesTable(kStart));
    ASSERT_EQ(stored.size(), 4u);
    EXPECT_EQ(stored[2][2], "-3");
    EXPECT_EQ(stored[3][0], "牛奶");
    EXPECT_EQ(readTickets(folder.paths().ticketTable(kStart))->size(), 2u);
    EXPECT_EQ(stock(), (std::vector<std::string>{"10", "4"}));
    EXPECT_EQ(lookUpReceipt(folder.dir(), kSold).lines[0].left(), 0);
}

TEST_F(RefundTest, AReceiptNumberLooksUpOnlyASaleWhoseTablesRead) {
    ASSERT_EQ(refund({1, 0}).outcome, RefundOutcome::Refunded);  // 01-20240305-0002
    restartAt(kLater);
    const struct {
        std::string receipt;
        LookupOutcome outcome;
        std::string said;
    } cases[] = {
        {kSold, LookupOutcome::Found, ""},  // an earlier day's run
        {"abc", LookupOutcome::NotAReceiptNumber, "小票编号应形如 01-20261209-0007"},
        {"01-20240305-0099", LookupOutcome::NotFound, "找不到这张小票"},
        {"01-20240307-0001", LookupOutcome::NotFound, "找不到这张小票"},
        {"01-20240305-0002", LookupOutcome::IsARefund, "这是一张退货小票，不能再退货"},
    };
    RefundModel model(run->sale, folder.dir());
    for (const auto& c : cases) {
        EXPECT_EQ(model.lookUp(c.receipt), c.outcome) << c.receipt;
        EXPECT_EQ(lookupText(model.lookup()), c.said) << c.receipt;
        EXPECT_EQ(model.confirm("小王", kLater).outcome == RefundOutcome::NoReceipt,
                  c.outcome != LookupOutcome::Found)
            << c.receipt;
    }
    EXPECT_EQ(model.salesOfDay(kStart), std::vector<std::string>{kSold});
    EXPECT_TRUE(model.salesOfDay(kLater).empty());

    // A sales table that no longer reads: nothing may come back.
    storage::closeAll();
    const std::string sales = folder.paths().salesTable(kStart);
    std::filesystem::resize_file(sales, 200);
    EXPECT_EQ(model.lookUp(kSold), LookupOutcome::Unreadable);
    EXPECT_EQ(lookupText(model.lookup()), "无法读取 " + sales + "，暂不能退货");
}

}  // namespace
}  // namespace shop::refunds
