// The checkout model on its own, without a window: its amounts in fen, the
// journal that follows its list, and the recording of the list.
#include "checkout/sale_model.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <filesystem>
#include <fstream>
#include <functional>

#include "checkout/money.h"
#include "checkout/receipt_number.h"
#include "checkout/run_tables.h"
#include "checkout/sale_journal.h"
#include "checkout/sale_landing.h"
#include "checkout/sale_recovery.h"
#include "checkout/ticket_table.h"
#include "storage/table.h"
#include "support/run_folder.h"

namespace shop::checkout {
namespace {

using test::readAll;
using Rows = std::vector<std::vector<std::string>>;

TEST(Money, TextsReadAsExactFen) {
    const struct {
        const char* text;
        Fen fen;
    } cases[] = {
        {"12元", 1200},
        {"19.5", 1950},
        {"0.1", 10},
        {"abc", 0},
        {"", 0},
        {"-8.5", -850},
        {" 3.6", 360},
        {"0.125", 13},
        {".5", 50},
        {"7.", 700},
        {"+2", 200},
        {"1.994", 199},
        {"99999999999999999999", INT64_MAX},
    };
    for (const auto& c : cases) EXPECT_EQ(fenFromText(c.text), c.fen) << c.text;
}

TEST(Money, OnlyAMoneyAmountParsesAsOne) {
    const struct {
        const char* text;
        std::optional<Fen> fen;
    } cases[] = {
        {"20", 2000},
        {"20.5", 2050},
        {"20.55元", 2055},
        {" 100 ", 10000},
        {"abc", std::nullopt},
        {"", std::nullopt},
        {"1.234", std::nullopt},
        {"5x", std::nullopt},
        {"-", std::nullopt},
        {".", std::nullopt},
        {"0.5", 50},
    };
    for (const auto& c : cases) EXPECT_EQ(parseMoney(c.text), c.fen) << c.text;
}

TEST(Money, AmountsShowInTheirShortestText) {
    const struct {
        Fen fen;
        const char* shown;
        const char* stored;
    } cases[] = {
        {1950, "19.5", "19.50"}, {1100, "11", "11.00"},
        {5, "0.05", "0.05"},     {-350, "-3.5", "-3.50"},
        {0, "0", "0.00"},        {INT64_MIN, "-92233720368547758.08", "-92233720368547758.08"}};
    for (const auto& c : cases) {
        EXPECT_EQ(yuanText(c.fen), c.shown);
        EXPECT_EQ(storedYuan(c.fen), c.stored);
    }
}

class SaleModelTest : public ::testing::Test {
protected:
    test::RunFolder run;
    std::string sales = run.paths().salesTable({2024, 3, 5, 14, 7, 9});
    std::string journal = journalPath(run.dir(), "销售数据2024年3月5日14时7分9秒.edb");
    SaleModel model;

    std::string tickets = run.paths().ticketTable({2024, 3, 5, 14, 7, 9});
    const storage::Moment paidAt{2024, 3, 5, 14, 9, 0};

    void SetUp() override {
        ASSERT_EQ(startSalesTable(sales), SalesTableStart::Opened);
        model.beginRun(sales, SaleJournal(journal, "销售数据2024年3月5日14时7分9秒.edb", 0));
        model.beginTickets(run.dir(), ReceiptNumbers(run.paths().ticketFolder(), "01"));
    }
    CheckoutResult pay(PaymentMethod method, const std::string& tendered) {
        model.setTendered(tendered);
        return model.checkout({method, "小李", paidAt});
    }
    std::vector<Ticket> storedTickets() const {
        return readTickets(tickets).value_or(std::vector<Ticket>{});
    }
    void add(const std::string& name, const std::string& price, const std::string& quantity) {
        model.addLine({{name, price, quantity, "2024年3月5日14时8分0秒"}, 0});
    }
};

TEST_F(SaleModelTest, TheTotalAndTheChangeAreExact) {
    const struct {
        std::vector<std::pair<std::string, std::string>> lines;
        std::string tendered;
        Fen total, change;
    } cases[] = {
        {{{"1.2", "3"}}, "10", 360, 640},
        {{{"69.6", "1"}, {"141.1", "2"}}, "400", 35180, 4820},
        {{{"0.1", "1"}, {"0.1", "1"}, {"0.1", "1"}}, "0.3", 30, 0},
        {{{"12元", "2"}, {"abc", "5"}, {"3", "abc"}}, "20元", 2400, -400},
        {{{"16777216", "1"}, {"1", "1"}}, "", 1677721700, -1677721700},
    };
    for (const auto& c : cases) {
        model.clear();
        for (const auto& [price, quantity] : c.lines) add("货", price, quantity);
        model.setTendered(c.tendered);
        EXPECT_EQ(model.total(), c.total) << c.tendered;
        EXPECT_EQ(model.change(), c.change) << c.tendered;
    }
}

TEST_F(SaleModelTest, TheJournalHoldsTheListAfterEveryChange) {
    int shown = 0;
    QObject::connect(&model, &SaleModel::linesChanged, [&shown] { ++shown; });
    add("a", "1", "1");
    add("b", "2", "1");
    add("c", "3", "1");
    EXPECT_TRUE(model.removeLine(1));
    EXPECT_FALSE(model.removeLine(5));
    EXPECT_EQ(shown, 4);
    const auto kept = readJournal(journal);
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->rows, model.rows());
    EXPECT_EQ(model.total(), 400);
    EXPECT_FALSE(model.journalFailing());
    model.clear();  // a cleared list is no sale to recover
    ASSERT_TRUE(readJournal(journal));
    EXPECT_TRUE(readJournal(journal)->rows.empty());
    EXPECT_EQ(shown, 5);
}

// A scanned line shows before its journal sync, and is journalled in the
// same turn of the event loop or, sooner, by whatever is done next with the
// list: the journal then holds every line the cashier saw.
TEST_F(SaleModelTest, AScannedLineIsJournalledRightAfterItShowsAndBeforeAnythingElse) {
    const struct {
        const char* what;
        std::function<void()> then;
        std::size_t journalled;
    } cases[] = {
        {"the event loop turns", [] { QCoreApplication::sendPostedEvents(); }, 2},
        {"a line added by a click", [this] { add("c", "3", "1"); }, 3},
        {"a line deleted", [this] { model.removeLine(0); }, 1},
        {"a receipt made of the list", [this] { model.noteReceipted(); }, 2},
        {"收款 refused for too little cash", [this] { pay(PaymentMethod::Cash, "1"); }, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        model.clear();
        std::size_t shown = 0;
        const auto watch = QObject::connect(&model, &SaleModel::linesChanged,
                                            [&] { shown = model.lines().size(); });
        for (const char* name : {"a", "b"})
            model.addLine({{name, "1", "1", "2024年3月5日14时8分0秒"}, 0},
                          JournalWhen::RightAfterShowing);
        QObject::disconnect(watch);
        EXPECT_EQ(shown, 2u) << "each line shows as it is added";
        c.then();
        const auto kept = readJournal(journal);
        ASSERT_TRUE(kept);
        EXPECT_EQ(kept->rows, model.rows());
        EXPECT_EQ(kept->rows.size(), c.journalled);
        EXPECT_FALSE(model.journalFailing());
    }
}

TEST_F(SaleModelTest, TheExitRecordingStoresTheListAndLeavesNoJournal) {
    add("a", "1", "2");
    add("b", std::string(300, '9'), "1");  // too long for the sales table
    add("c", "3", "1");
    EXPECT_EQ(model.recordOpenList().outcome, ExitRecording::RecordedAllThatFit);
    EXPECT_EQ(readAll(sales), (Rows{{"a", "1", "2", "2024年3月5日14时8分0秒"},
                                    {"c", "3", "1", "2024年3月5日14时8分0秒"}}));
    // The line that can never be stored stays, and so does its journal.
    ASSERT_EQ(model.lines().size(), 1u);
    EXPECT_EQ(model.lines()[0].row.name, "b");
    EXPECT_EQ(readJournal(journal)->rows, model.rows());
    model.clear();
    EXPECT_EQ(model.recordOpenList().outcome, ExitRecording::NothingToRecord);
    EXPECT_FALSE(readJournal(journal));
    EXPECT_EQ(readAll(sales).size(), 2u);
}

TEST_F(SaleModelTest, PaymentStoresTheLinesAndOneTicketOrNothing) {
    const struct {
        PaymentMethod method;
        std::string tendered;
        CheckoutOutcome outcome;
        const char* storedTendered;
        const char* storedChange;
    } cases[] = {
        {PaymentMethod::Cash, "19", CheckoutOutcome::ShortCash, "", ""},
        {PaymentMethod::Cash, "", CheckoutOutcome::ShortCash, "", ""},
        {PaymentMethod::Cash, "50", CheckoutOutcome::Finished, "50.00", "30.50"},
        {PaymentMethod::Cash, "19.5元", CheckoutOutcome::Finished, "19.50", "0.00"},
        {PaymentMethod::WeChat, "", CheckoutOutcome::Finished, "19.50", "0.00"},
        {PaymentMethod::Card, "100", CheckoutOutcome::Finished, "19.50", "0.00"},
    };
    std::size_t records = 0, paid = 0;
    std::vector<FinishedSale> handedOn;
    QObject::connect(&model, &SaleModel::saleFinished,
                     [&handedOn](const FinishedSale& sale) { handedOn.push_back(sale); });
    for (const auto& c : cases) {
        model.clear();
        add("方便面", "4.5元", "3");
        add("牛奶", "6", "1");
        const CheckoutResult result = pay(c.method, c.tendered);
        ASSERT_EQ(result.outcome, c.outcome) << c.tendered;
        if (c.outcome != CheckoutOutcome::Finished) {
            EXPECT_EQ(model.lines().size(), 2u);  // nothing stored, the list stays
            EXPECT_EQ(readAll(sales).size(), records);
            continue;
        }
        records += 2;
        ++paid;
        EXPECT_TRUE(model.lines().empty());
        EXPECT_EQ(model.total(), 0);
        EXPECT_TRUE(model.tendered().empty());
        EXPECT_EQ(readAll(sales).size(), records);
        const std::vector<Ticket> stored = storedTickets();
        ASSERT_EQ(stored.size(), paid);
        const Ticket& t = stored.back();
        EXPECT_EQ(t.receipt, "01-20240305-000" + std::to_string(paid));
        EXPECT_EQ(t.original, "");
        EXPECT_EQ(t.salesTable, "销售数据2024年3月5日14时7分9秒.edb");
        EXPECT_EQ(t.recordRange(),
                  std::pair(static_cast<int>(records) - 1, static_cast<int>(records)));
        EXPECT_EQ(t.total, "19.50");
        EXPECT_EQ(t.tendered, c.storedTendered);
        EXPECT_EQ(t.change, c.storedChange);
        EXPECT_EQ(t.method, methodText(c.method));
        EXPECT_EQ(t.cashier, "小李");
        EXPECT_EQ(t.moment, "2024年3月5日14时9分0秒");
        ASSERT_EQ(handedOn.size(), paid);
        EXPECT_EQ(handedOn.back().receipt, t.receipt);
        EXPECT_EQ(handedOn.back().lines.size(), 2u);
    }
    // Only the rows of the finished sales are in the sales table, in order.
    const Rows all = readAll(sales);
    for (std::size_t i = 0; i < all.size(); ++i)
        EXPECT_EQ(all[i][0], i % 2 == 0 ? "方便面" : "牛奶");
    // Nothing of a paid sale is left for the exit recording.
    EXPECT_EQ(model.recordOpenList().outcome, ExitRecording::NothingToRecord);
    EXPECT_EQ(readAll(sales).size(), records);
}

TEST_F(SaleModelTest, TheListAfterAPaymentIsStillKeptAndRecordedAtExit) {
    add("a", "1", "1");
    ASSERT_EQ(pay(PaymentMethod::Alipay, "").outcome, CheckoutOutcome::Finished);
    add("b", "2", "1");
    // A crash now: the journal holds the next customer's line, and counts the
    // paid one as stored, so the next start stores b once and a not again.
    ASSERT_TRUE(readJournal(journal));
    EXPECT_EQ(readJournal(journal)->rows, model.rows());
    EXPECT_EQ(readJournal(journal)->recorded, 1);
    storage::closeAll();
    const auto recovered = recoverOpenSales(run.paths());
    ASSERT_EQ(recovered.size(), 1u);
    EXPECT_TRUE(recovered[0].stored);
    const Rows stored = readAll(sales);
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_EQ(stored[0][0], "a");
    EXPECT_EQ(stored[1][0], "b");
}

TEST(ReceiptNumbers, TheSequenceContinuesAcrossTheRunsOfADayAndStartsAgainNextDay) {
    test::RunFolder run;
    const std::string folder = run.paths().ticketFolder();
    const auto ticketOn = [&](const storage::Moment& start, const std::string& receipt) {
        const std::string path = run.paths().ticketTable(start);
        ASSERT_TRUE(provideTicketTable(path));
        test::writeAll(path, {{receipt, "", "", "", "", "", "", "", "", ""}});
    };
    // A run of yesterday that went on past midnight, then one of this morning
    // that sold nothing, then one of this afternoon.
    ticketOn({2024, 3, 4, 22, 0, 0}, "01-20240305-0004");
    ticketOn({2024, 3, 5, 9, 0, 0}, "01-20240305-0009");
    ASSERT_TRUE(provideTicketTable(run.paths().ticketTable({2024, 3, 5, 15, 0, 0})));
    const struct {
        storage::Moment now;
        int last;
    } cases[] = {
        {{2024, 3, 5, 16, 0, 0}, 9},
        {{2024, 3, 6, 8, 0, 0}, 0},
        {{2024, 3, 4, 23, 0, 0}, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(lastSequenceOfDay(folder, c.now), c.last);

    ReceiptNumbers numbers(folder, "A7");
    numbers.prime({2024, 3, 5, 16, 0, 0});
    EXPECT_EQ(numbers.next({2024, 3, 5, 16, 0, 1}), "A7-20240305-0010");
    EXPECT_EQ(numbers.next({2024, 3, 5, 23, 59, 59}), "A7-20240305-0011");
    EXPECT_EQ(numbers.next({2024, 3, 6, 0, 0, 0}), "A7-20240306-0001");
    for (const char* bad : {"", "0 1", "123456789", "收银"}) EXPECT_EQ(tillCodeOr(bad), "01");
}

// A table that does not read is no table without numbers: what its bytes
// still hold counts, and so does a sale a journal still waits to store;
// where even the bytes cannot be read, 收款 stores nothing rather than give
// a number twice.
TEST_F(SaleModelTest, AReceiptNumberIsNeverGivenTwiceWhenATableDoesNotRead) {
    const std::string folder = run.paths().ticketFolder();
    const storage::Moment earlier{2024, 3, 5, 9, 0, 0};
    const std::string earlierTable = run.paths().ticketTable(earlier);
    ASSERT_TRUE(provideTicketTable(earlierTable));
    test::writeAll(earlierTable, {{"01-20240305-0007", "", "", "", "", "", "", "", "", ""}});
    storage::closeAll();
    const auto damage = [&] {
        std::fstream file(earlierTable, std::ios::in | std::ios::out | std::ios::binary);
        file.write("not a table at all", 18);
    };
    const auto pendingIn = [&](const std::string& receipt) {
        FinishedSale sale;
        sale.receipt = receipt;
        sale.salesTable = "销售数据2024年3月5日10时0分0秒.edb";
        SaleJournal(journalPath(run.dir(), sale.salesTable), sale.salesTable, 0).begin(sale);
    };
    const auto unreadable = [&] {
        std::filesystem::remove(earlierTable);
        std::filesystem::create_symlink(run.dir() + "/gone", earlierTable);
    };
    const struct {
        const char* what;
        std::function<void()> change;
        std::optional<int> last;
    } cases[] = {
        {"readable", [] {}, 7},
        {"damaged", damage, 7},
        {"a sale waiting in a journal", [&] { pendingIn("01-20240305-0012"); }, 12},
        {"not even bytes", unreadable, std::nullopt},
    };
    for (const auto& c : cases) {
        c.change();
        EXPECT_EQ(lastSequenceOfDay(folder, paidAt, run.dir()), c.last) << c.what;
    }
    // Numbers among other bytes, a NUL included; one too short to be a number.
    using namespace std::string_view_literals;
    EXPECT_EQ(highestSequenceIn("x01-20240305-0031\0A7-20240305-00045yy-20240305-9"sv, 20240305),
              45);
    model.beginTickets(run.dir(), ReceiptNumbers(folder, "01", run.dir()));
    add("方便面", "4.5元", "1");
    const CheckoutResult result = pay(PaymentMethod::WeChat, "");
    EXPECT_EQ(result.outcome, CheckoutOutcome::NoReceiptNumber);
    EXPECT_NE(result.failure.find("小票编号"), std::string::npos);
    EXPECT_EQ(model.lines().size(), 1u);
    EXPECT_TRUE(readAll(sales).empty());
}

// A sale cut short between its tables is finished by landing it again, each
// table's part once.
TEST_F(SaleModelTest, PaymentTakesTheSoldGoodsOffTheirStock) {
    const struct {
        std::string name;
        int position;
        std::string quantity;
        std::vector<std::string> stock;  // of the four products afterwards
        std::string note;                // a part of what the cashier is told
    } cases[] = {
        {"方便面", 0, "3", {"7", "5", "两箱", "1"}, ""},
        {"牛奶", 0, "2", {"10", "3", "两箱", "1"}, ""},  // the goods moved on
        {"雪糕", 1, "1", {"10", "5", "两箱", "1"}, "未找到商品，库存未变：雪糕"},
        {"可乐", 2, "1", {"10", "5", "两箱", "1"}, "库存不是整数，未变：可乐"},
        {"面包", 3, "3", {"10", "5", "两箱", "-2"}, "库存不足：面包"},
    };
    for (const auto& c : cases) {
        run.setProducts({{"方便面", "4.5元", "10"},
                         {"牛奶", "6", "5"},
                         {"可乐", "3", "两箱"},
                         {"面包", "5", "1"}});
        model.clear();
        model.addLine({{c.name, "1", c.quantity, "2024年3月5日14时8分0秒"}, c.position});
        const CheckoutResult result = pay(PaymentMethod::WeChat, "");
        ASSERT_EQ(result.outcome, CheckoutOutcome::Finished) << c.name;
        std::vector<std::string> stock;
        for (const auto& row : readAll(run.paths().product())) stock.push_back(row[2]);
        EXPECT_EQ(stock, c.stock) << c.name;
        if (c.note.empty()) {
            EXPECT_TRUE(result.stockNotes.empty()) << c.name;
        } else {
            ASSERT_EQ(result.stockNotes.size(), 1u) << c.name;
            EXPECT_NE(result.stockNotes[0].find(c.note), std::string::npos) << result.stockNotes[0];
        }
    }
}

TEST_F(SaleModelTest, LandingASaleAgainStoresNothingTwice) {
    run.setProducts({{"方便面", "4.5元", "10"}});
    FinishedSale sale;
    sale.receipt = "01-20240305-0001";
    sale.salesTable = "销售数据2024年3月5日14时7分9秒.edb";
    sale.firstRecord = 1;
    sale.lines = {{{"方便面", "4.5元", "3", "d"}, 0}};
    sale.total = sale.tendered = 1350;
    sale.stock = {{1, "方便面", "10", "7"}};
    for (int time = 0; time < 3; ++time) {
        const Landing landing = landSale(run.dir(), sale);
        EXPECT_TRUE(landing.landed());
        EXPECT_EQ(landing.salesRecords, 1);
    }
    EXPECT_EQ(readAll(sales).size(), 1u);
    EXPECT_EQ(storedTickets().size(), 1u);
    EXPECT_EQ(readAll(run.paths().product())[0][2], "7");
}

TEST_F(SaleModelTest, APendingSaleInTheJournalIsFinishedAtTheNextStart) {
    add("方便面", "4.5元", "3");
    model.setTendered("20");
    // The sale as 收款 journals it, then a crash before any table has it.
    FinishedSale sale;
    sale.receipt = "01-20240305-0001";
    sale.salesTable = "销售数据2024年3月5日14时7分9秒.edb";
    sale.lines = model.lines();
    sale.total = 1350;
    sale.tendered = 2000;
    sale.change = 650;
    {
        SaleJournal j(journal, sale.salesTable, 0);
        ASSERT_TRUE(j.begin(sale));
    }
    storage::closeAll();
    const auto recovered = recoverOpenSales(run.paths());
    ASSERT_EQ(recovered.size(), 1u);
    EXPECT_EQ(recovered[0].finishedReceipt, "01-20240305-0001");
    EXPECT_TRUE(recovered[0].finishedStored);
    EXPECT_EQ(readAll(sales).size(), 1u);
    ASSERT_EQ(storedTickets().size(), 1u);
    EXPECT_EQ(storedTickets()[0].change, "6.50");
    EXPECT_TRUE(journalsIn(run.dir()).empty());
    // A second start finds nothing more to do.
    EXPECT_TRUE(recoverOpenSales(run.paths()).empty());
    EXPECT_EQ(readAll(sales).size(), 1u);
}

}  // namespace
}  // namespace shop::checkout
