// A scan at the counter with 100,000 goods and 100,000 codes: the scanner's
// key events (13 digits and Return) into the goods box until the row is on
// screen, the journal sync that follows it, and the code's lookup alone.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTest>
#include <QTreeWidget>
#include <chrono>

#include "barcodes/barcode_table.h"
#include "barcodes/check_digit.h"
#include "checkout/barcode_scan.h"
#include "checkout/sale_model.h"
#include "support/main_window_driver.h"
#include "support/qt_bench.h"

namespace {

using shop::test::MainWindowDriver;

constexpr int kGoods = 100000;

std::string codeOf(int i) {
    std::string body = std::to_string(i);
    return shop::barcodes::withCheckDigit("69" + std::string(10 - body.size(), '0') + body);
}

std::vector<shop::barcodes::CodeEntry> codes() {
    std::vector<shop::barcodes::CodeEntry> out;
    for (int i = 0; i < kGoods; ++i) out.push_back({codeOf(i), "商品" + std::to_string(i)});
    return out;
}

// The shop of the benchmark: every goods in the product and product-save
// tables, each with one code.
void fillShop(MainWindowDriver& d) {
    std::vector<std::vector<std::string>> products;
    std::vector<std::string> names;
    for (int i = 0; i < kGoods; ++i) {
        products.push_back({"商品" + std::to_string(i), std::to_string(i % 50) + ".5元", "9"});
        names.push_back(products.back()[0]);
    }
    d.run.setProducts(products);
    d.run.setProductSave(names);
    if (!shop::barcodes::addCodes(d.run.paths().barcodes(), codes()).ok())
        std::fprintf(stderr, "the codes were not stored\n");
}

// Timed: the keys until the row is in the list. Then, untimed, the rest of
// that turn of the event loop: the list's repaint (the counter paint_us)
// and after it the row's journal sync (journal_sync_us); every iteration
// checks that the journal holds the list.
void BM_ScanToRowWith100000GoodsAndCodes(benchmark::State& state) {
    using Clock = std::chrono::steady_clock;
    const auto seconds = [](Clock::duration d) { return std::chrono::duration<double>(d).count(); };
    MainWindowDriver d;
    fillShop(d);
    d.start();
    d.window->show();
    QApplication::setActiveWindow(d.window.get());
    QCoreApplication::processEvents();
    QWidget* goods = d.goods();
    goods->setFocus();
    // The first scan waits for the codes being read beside the start.
    QTest::keyClicks(goods, QString::fromStdString(codeOf(0)));
    QTest::keyClick(goods, Qt::Key_Return);
    QCoreApplication::processEvents();
    const QString code = QString::fromStdString(codeOf(kGoods - 7));
    QTreeWidget* list = d.list();
    const shop::checkout::SaleModel& sale = d.window->sale();
    double paint = 0, sync = 0;
    for (auto _ : state) {
        const int before = list->topLevelItemCount();
        const auto keys = Clock::now();
        QTest::keyClicks(goods, code);
        QTest::keyClick(goods, Qt::Key_Return);
        const auto listed = Clock::now();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
        const auto painted = Clock::now();
        QCoreApplication::processEvents();
        const auto journalled = Clock::now();
        state.SetIterationTime(seconds(listed - keys));
        paint += seconds(painted - listed);
        sync += seconds(journalled - painted);
        if (list->topLevelItemCount() != before + 1 ||
            list->topLevelItem(before)->text(0) != QStringLiteral("商品99993")) {
            state.SkipWithError("the scan did not add its row");
            break;
        }
        if (!sale.journal().holds(sale.rows())) {
            state.SkipWithError("the row was not journalled");
            break;
        }
        if (before >= 200) d.window->sale().clear();  // a customer's sale is not endless
    }
    const auto perScan = [&](double total) {
        return benchmark::Counter(total * 1e6 / static_cast<double>(state.iterations()));
    };
    state.counters["paint_us"] = perScan(paint);
    state.counters["journal_sync_us"] = perScan(sync);
}
BENCHMARK(BM_ScanToRowWith100000GoodsAndCodes)->UseManualTime()->Unit(benchmark::kMicrosecond);

// The code to its line without the window: the index, the goods' position
// and the catalogue's price (read from the product table).
void BM_ScanLookupWith100000Codes(benchmark::State& state) {
    MainWindowDriver d;
    fillShop(d);
    const shop::barcodes::CodeIndex index(codes());
    const std::vector<shop::barcodes::StoreLayout> layouts{shop::barcodes::defaultLayout()};
    std::unordered_map<std::string, int> positions;
    for (int i = 0; i < kGoods; ++i) positions.emplace("商品" + std::to_string(i), i);
    const std::string productPath = d.run.paths().product();
    const shop::checkout::ScanCounter counter{
        &index, &layouts,
        [&](const std::string& name) {
            const auto it = positions.find(name);
            return it == positions.end() ? -1 : it->second;
        },
        [&](int position) { return shop::checkout::lookupGoods(productPath, position); },
        "2024年3月5日14时7分9秒"};
    const shop::checkout::ScanText scan{codeOf(kGoods - 7), 1};
    for (auto _ : state) {
        const auto result = shop::checkout::sellScan(scan, counter);
        if (!result.line || result.line->row.price != "43.5元") {
            state.SkipWithError("the scan found the wrong goods");
            break;
        }
    }
}
BENCHMARK(BM_ScanLookupWith100000Codes)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) { return shop::bench::runQtBenchmarks(argc, argv); }
