// 收款 and the start of a run, at the counter's scale.
//   Payment20Lines           收款 of a 20-line sale: its records, its ticket,
//                            its stock and its journal, every table durable
//   RawCommit20Lines         the floor: one durable SQLite commit of the same
//                            rows (20 sales rows, one ticket, 20 stock updates)
//                            in one database, with the facility's durability
//   MainWindowShown/0|365    the start of a run folder with no ticket tables
//                            and with a year of them (365 runs of 40 tickets)
//   RefundLookupYearOld      looking up a receipt of the oldest of those runs
//                            for 退货: every later table is read for refunds
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QCoreApplication>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/clock.h"
#include "app/navigation.h"
#include "app/run_directory.h"
#include "app/scripted_platform.h"
#include "checkout/main_window.h"
#include "checkout/run_tables.h"
#include "checkout/sale_journal.h"
#include "checkout/sale_model.h"
#include "checkout/ticket_table.h"
#include "refunds/receipt_lookup.h"
#include "storage/data_paths.h"
#include "storage/date_text.h"
#include "storage/schemas.h"
#include "storage/table.h"
#include "support/qt_bench.h"
#include "support/run_folder.h"

namespace {

using namespace shop;
using checkout::SaleLine;

constexpr int kLines = 20;
constexpr int kYear = 365;
constexpr int kTicketsPerRun = 40;
const storage::Moment kToday{2025, 3, 5, 9, 0, 0};

void check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "benchmark setup failed: %s\n", what);
        std::abort();
    }
}

std::vector<std::vector<std::string>> products() {
    std::vector<std::vector<std::string>> rows;
    for (int i = 0; i < kLines; ++i)
        rows.push_back({"商品" + std::to_string(i), std::to_string(i + 1) + ".5元", "100000"});
    return rows;
}

SaleLine lineOf(int i) {
    return {
        {"商品" + std::to_string(i), std::to_string(i + 1) + ".5元", "1", "2025年3月5日9时1分0秒"},
        i};
}

void Payment20Lines(benchmark::State& state) {
    test::RunFolder run;
    run.setProducts(products());
    const std::string sales = run.paths().salesTable(kToday);
    const std::string table = std::filesystem::path(sales).filename().string();
    check(checkout::startSalesTable(sales) == checkout::SalesTableStart::Opened, "sales table");
    checkout::SaleModel model;
    model.beginRun(sales, checkout::SaleJournal(checkout::journalPath(run.dir(), table), table, 0));
    model.beginTickets(run.dir(),
                       checkout::ReceiptNumbers(run.paths().ticketFolder(), "01", run.dir()));
    int sold = 0;
    for (auto _ : state) {
        state.PauseTiming();
        for (int i = 0; i < kLines; ++i) model.addLine(lineOf(i));
        state.ResumeTiming();
        const auto result = model.checkout({checkout::PaymentMethod::WeChat, "小李", kToday});
        if (result.outcome != checkout::CheckoutOutcome::Finished) {
            state.SkipWithError("the sale did not finish");
            break;
        }
        ++sold;
    }
    const auto tickets = checkout::readTickets(run.paths().ticketTable(kToday));
    if (test::readAll(sales).size() != static_cast<std::size_t>(sold * kLines) || !tickets ||
        tickets->size() != static_cast<std::size_t>(sold) ||
        test::readAll(run.paths().product())[0][2] != std::to_string(100000 - sold))
        state.SkipWithError("the tables do not hold the sales");
    state.counters["lines"] = kLines;
}
BENCHMARK(Payment20Lines)->Unit(benchmark::kMillisecond);

void exec(sqlite3* db, const char* sql) {
    check(sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK, sqlite3_errmsg(db));
}

void RawCommit20Lines(benchmark::State& state) {
    test::RunFolder run;
    const std::string path = run.dir() + "/raw.db";
    sqlite3* db = nullptr;
    check(sqlite3_open(path.c_str(), &db) == SQLITE_OK, "raw open");
    exec(db, "PRAGMA journal_mode=DELETE;PRAGMA synchronous=EXTRA");
    exec(db,
         "CREATE TABLE sales(a TEXT, b TEXT, c TEXT, d TEXT);"
         "CREATE TABLE tickets(a, b, c, d, e, f, g, h, i, j);"
         "CREATE TABLE product(id INTEGER PRIMARY KEY, name TEXT, price TEXT, stock TEXT)");
    for (int i = 0; i < kLines; ++i)
        exec(db, ("INSERT INTO product VALUES(" + std::to_string(i + 1) + ", 'g', '1', '100000')")
                     .c_str());
    sqlite3_stmt *sale = nullptr, *ticket = nullptr, *stock = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO sales VALUES(?, ?, ?, ?)", -1, &sale, nullptr);
    sqlite3_prepare_v2(db,
                       "INSERT INTO tickets VALUES(?, '', 't', '1-20', '1.00', '1.00', '0.00', "
                       "'微信', '小李', 'm')",
                       -1, &ticket, nullptr);
    sqlite3_prepare_v2(db, "UPDATE product SET stock = CAST(stock AS INTEGER) - 1 WHERE id = ?", -1,
                       &stock, nullptr);
    int round = 0;
    for (auto _ : state) {
        exec(db, "BEGIN IMMEDIATE");
        for (int i = 0; i < kLines; ++i) {
            const checkout::SaleRow r = lineOf(i).row;
            const std::string* cells[] = {&r.name, &r.price, &r.quantity, &r.date};
            for (int f = 0; f < 4; ++f)
                sqlite3_bind_text(sale, f + 1, cells[f]->data(), static_cast<int>(cells[f]->size()),
                                  SQLITE_TRANSIENT);
            check(sqlite3_step(sale) == SQLITE_DONE, "raw sale");
            sqlite3_reset(sale);
            sqlite3_bind_int(stock, 1, i + 1);
            check(sqlite3_step(stock) == SQLITE_DONE, "raw stock");
            sqlite3_reset(stock);
        }
        const std::string receipt = "01-20250305-" + std::to_string(++round);
        sqlite3_bind_text(ticket, 1, receipt.data(), static_cast<int>(receipt.size()),
                          SQLITE_TRANSIENT);
        check(sqlite3_step(ticket) == SQLITE_DONE, "raw ticket");
        sqlite3_reset(ticket);
        exec(db, "COMMIT");
    }
    sqlite3_finalize(sale);
    sqlite3_finalize(ticket);
    sqlite3_finalize(stock);
    sqlite3_close(db);
    state.counters["lines"] = kLines;
}
BENCHMARK(RawCommit20Lines)->Unit(benchmark::kMillisecond);

// A run folder with the ticket tables of a year of daily runs before today,
// each with its sales table, made once.
test::RunFolder& yearFolder() {
    static test::RunFolder run;
    static const bool made = [] {
        run.setProducts(products());
        run.setProductSave({"商品0"});
        for (int d = kYear; d >= 1; --d) {
            const storage::Moment start = storage::fromDayNumber(storage::dayNumber(kToday) - d);
            const storage::Moment opened{start.year, start.month, start.day, 9, 0, 0};
            const int key = opened.year * 10000 + opened.month * 100 + opened.day;
            const std::string sales = run.paths().salesTable(opened);
            const std::string tickets = run.paths().ticketTable(opened);
            check(storage::create(sales, storage::schemas::sales()), "sales table");
            check(checkout::provideTicketTable(tickets), "ticket table");
            std::vector<std::vector<std::string>> lines, stubs;
            for (int t = 1; t <= kTicketsPerRun; ++t) {
                lines.push_back({"商品0", "1.5元", "2", storage::dateText(opened)});
                stubs.push_back({checkout::receiptNumber("01", key, t), "",
                                 std::filesystem::path(sales).filename().string(),
                                 std::to_string(t) + "-" + std::to_string(t), "3.00", "3.00",
                                 "0.00", "现金", "小李", storage::dateText(opened)});
            }
            test::writeAll(sales, lines);
            test::writeAll(tickets, stubs);
        }
        storage::closeAll();
        return true;
    }();
    (void)made;
    return run;
}

void MainWindowShown(benchmark::State& state) {
    std::unique_ptr<test::RunFolder> bare;
    const std::string dir = state.range(0) == 0
                                ? (bare = std::make_unique<test::RunFolder>())->dir()
                                : yearFolder().dir();
    if (bare) bare->setProductSave({"商品0"});
    const app::ClockOverride clock([] { return kToday; });
    app::ScriptedPlatform platform;
    app::setRunDirectory(dir);
    const auto start = [&] {
        checkout::MainWindow window{app::Navigation{}};
        window.show();
        QCoreApplication::processEvents();
        return !window.failedToStart();
    };
    // Each start leaves its own empty tables: they go, so every start sees
    // the same folder.
    const auto tidy = [&] {
        storage::closeAll();
        for (const std::string& t : {storage::DataPaths{dir}.salesTable(kToday),
                                     storage::DataPaths{dir}.ticketTable(kToday)})
            std::filesystem::remove(t);
    };
    // One start first, untimed: the first window of the process pays for
    // the style and the fonts, whichever folder it opens.
    start();
    tidy();
    for (auto _ : state) {
        if (!start()) state.SkipWithError("the main window did not start");
        state.PauseTiming();
        tidy();
        state.ResumeTiming();
    }
    state.counters["ticket_tables"] = static_cast<double>(state.range(0));
}
BENCHMARK(MainWindowShown)->Arg(0)->Arg(kYear)->Unit(benchmark::kMillisecond);

void RefundLookupYearOld(benchmark::State& state) {
    const std::string dir = yearFolder().dir();
    const storage::Moment oldest = storage::fromDayNumber(storage::dayNumber(kToday) - kYear);
    const std::string receipt = checkout::receiptNumber(
        "01", oldest.year * 10000 + oldest.month * 100 + oldest.day, kTicketsPerRun);
    for (auto _ : state) {
        const refunds::ReceiptLookup found = refunds::lookUpReceipt(dir, receipt);
        if (found.outcome != refunds::LookupOutcome::Found || found.lines.size() != 1) {
            state.SkipWithError("the receipt was not found");
            break;
        }
    }
    state.counters["ticket_tables"] = kYear;
}
BENCHMARK(RefundLookupYearOld)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return shop::bench::runQtBenchmarks(argc, argv); }
