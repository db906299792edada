// The checkout counter under load: a goods lookup near the end of a
// 100,000-product catalogue, adding a row to a list of 1,000 rows, and
// leaving with 10,000 rows to record; and the journal of the open list, to
// which every add, delete and clear appends durably.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTreeWidget>
#include <filesystem>

#include "checkout/sale_journal.h"
#include "storage/table.h"
#include "support/main_window_driver.h"
#include "support/qt_bench.h"

namespace {

using shop::test::MainWindowDriver;

void BM_GoodsLookupAtTheEndOf100000Products(benchmark::State& state) {
    constexpr int kProducts = 100000;
    MainWindowDriver d;
    std::vector<std::vector<std::string>> products;
    std::vector<std::string> names;
    for (int i = 0; i < kProducts; ++i) {
        products.push_back({"商品" + std::to_string(i), std::to_string(i % 50) + "元", "1"});
        names.push_back(products.back()[0]);
    }
    d.run.setProducts(products);
    d.run.setProductSave(names);
    d.start();
    QComboBox* goods = d.goods();
    goods->setCurrentIndex(kProducts - 1);
    for (auto _ : state) Q_EMIT goods->activated(kProducts - 1);
    if (d.price()->text() != "49元") state.SkipWithError("the lookup found the wrong product");
}
BENCHMARK(BM_GoodsLookupAtTheEndOf100000Products)->Unit(benchmark::kMillisecond);

void fillRows(QTreeWidget* list, int n) {
    QList<QTreeWidgetItem*> items;
    for (int i = 0; i < n; ++i)
        items << new QTreeWidgetItem(
            QStringList{QString("商品%1").arg(i), "2.5", "3", "2024年3月5日14时7分9秒"});
    list->addTopLevelItems(items);
}

// A line the counter takes: goods picked from the list, a quantity on offer.
void pickALine(const MainWindowDriver& d) {
    d.chooseGoods(0);
    d.chooseQuantity("3");
}

void BM_AddRowToAListOf1000(benchmark::State& state) {
    MainWindowDriver d;
    d.run.setProducts({{"商品", "2.5", "9"}});
    d.run.setProductSave({"商品"});
    d.start();
    pickALine(d);
    QTreeWidget* list = d.list();
    fillRows(list, 1000);
    QPushButton* add = d.button("图形按钮_添加");
    for (auto _ : state) {
        add->click();
        state.PauseTiming();
        delete list->takeTopLevelItem(list->topLevelItemCount() - 1);
        state.ResumeTiming();
    }
    if (d.total() != "7507.5元") state.SkipWithError("wrong total");
}
BENCHMARK(BM_AddRowToAListOf1000)->Unit(benchmark::kMillisecond);

void BM_LeaveRecording10000Rows(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto d = std::make_unique<MainWindowDriver>();
        d->start();
        fillRows(d->list(), 10000);
        QPushButton* close = d->button("图形按钮1_关闭");
        state.ResumeTiming();
        close->click();
        state.PauseTiming();
        if (!d->platform.exited() || !d->platform.messages().isEmpty())
            state.SkipWithError("leaving did not record cleanly");
        const auto stored = shop::test::readAll(d->window->runSalesPath()).size();
        if (stored != 10000) state.SkipWithError("not every row was recorded");
        d.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_LeaveRecording10000Rows)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

int main(int argc, char** argv) { return shop::bench::runQtBenchmarks(argc, argv); }

namespace {

std::vector<shop::checkout::SaleRow> listOf(std::int64_t count) {
    std::vector<shop::checkout::SaleRow> rows;
    for (std::int64_t i = 0; i < count; ++i)
        rows.push_back({"商品" + std::to_string(i), "2.5元", "3", "2024年3月5日14时7分9秒"});
    return rows;
}

const std::string kTable = "销售数据2024年3月5日14时7分9秒.edb";

// One change of a list of this many rows made durable in the journal (an add
// at the end and its delete, in turn): the cost each list change adds.
void BM_JournalUpdatePerChange(benchmark::State& state) {
    shop::test::RunFolder run;
    const auto rows = listOf(state.range(0));
    auto longer = rows;
    longer.push_back({"面包", "3", "1", "2024年3月5日14时8分0秒"});
    shop::checkout::SaleJournal journal(shop::checkout::journalPath(run.dir(), kTable), kTable, 0);
    if (!journal.update(rows)) state.SkipWithError("the journal was not written");
    bool added = false;
    for (auto _ : state) {
        added = !added;
        if (!journal.update(added ? longer : rows))
            state.SkipWithError("the journal was not written");
    }
    const auto back = shop::checkout::readJournal(journal.path());
    if (!back || back->rows != (added ? longer : rows))
        state.SkipWithError("the journal does not read back");
    state.counters["rows"] = static_cast<double>(state.range(0));
}
BENCHMARK(BM_JournalUpdatePerChange)->Arg(1)->Arg(50)->Arg(1000)->Unit(benchmark::kMillisecond);

// The journal started again from the whole list (its first change, a partial
// exit recording, or a long run's periodic restart): a new file and a folder
// sync, now and then rather than per change.
void BM_JournalRestart(benchmark::State& state) {
    shop::test::RunFolder run;
    const auto rows = listOf(state.range(0));
    shop::checkout::SaleJournal journal(shop::checkout::journalPath(run.dir(), kTable), kTable, 0);
    int recorded = 0;
    for (auto _ : state) {
        journal.setRecorded(++recorded);
        if (!journal.update(rows)) state.SkipWithError("the journal was not written");
    }
    const auto back = shop::checkout::readJournal(journal.path());
    if (!back || back->rows != rows || back->recorded != recorded)
        state.SkipWithError("the journal does not read back");
}
BENCHMARK(BM_JournalRestart)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace

// A cashier's add through the window, journal included, on a list of 50 rows.
void BM_AddRowWithItsJournalOnAListOf50(benchmark::State& state) {
    MainWindowDriver d;
    d.run.setProducts({{"商品", "2.5", "9"}});
    d.run.setProductSave({"商品"});
    d.start();
    pickALine(d);
    QTreeWidget* list = d.list();
    QPushButton* add = d.button("图形按钮_添加");
    QPushButton* del = d.button("图形按钮_删除");
    for (int i = 0; i < 50; ++i) add->click();
    for (auto _ : state) {
        add->click();
        state.PauseTiming();
        list->setCurrentItem(list->topLevelItem(list->topLevelItemCount() - 1));
        del->click();
        state.ResumeTiming();
    }
    if (list->topLevelItemCount() != 50) state.SkipWithError("the list did not keep its rows");
}
BENCHMARK(BM_AddRowWithItsJournalOnAListOf50)->Unit(benchmark::kMillisecond);
