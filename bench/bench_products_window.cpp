// The product window on a catalogue of 50,000 products.
//   BM_OpenToShown    construct the window (open the table, read every
//                     record, fill the three lists) and show it, events done
//   BM_OpenToShownFloor  the floor of it: plain SQLite reading the same three
//                     fields, filling three lists of the same checkable items
//                     in a bare window, shown, events done
//   BM_AcceptedAdd    one accepted add: the lists grow by one and the whole
//                     table is rewritten in one batch
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "app/scripted_platform.h"
#include "products/product_window.h"
#include "support/qt_bench.h"
#include "support/run_folder.h"

namespace {

using namespace shop;

constexpr int kProducts = 50000;

// One run folder for the whole program: writing the catalogue takes longer
// than any measurement.
test::RunFolder& catalogue() {
    static test::RunFolder run;
    static const bool filled = [] {
        std::vector<std::vector<std::string>> rows;
        rows.reserve(kProducts);
        for (int i = 0; i < kProducts; ++i)
            rows.push_back({"商品" + std::to_string(i), std::to_string(i % 97) + ".5元",
                            std::to_string(i % 500)});
        run.setProducts(rows);
        return true;
    }();
    (void)filled;
    return run;
}

void BM_OpenToShown(benchmark::State& state) {
    catalogue();
    QComboBox* goods = nullptr;
    for (auto _ : state) {
        auto w = std::make_unique<products::ProductWindow>(
            app::CheckoutArea{nullptr, goods, nullptr, nullptr});
        w->show();
        QApplication::processEvents();
        state.PauseTiming();
        w.reset();  // closes the product table
        state.ResumeTiming();
    }
}

// The three fields of every product, read with plain SQLite: each cell's key
// is its record number shifted past eight bits of field position.
std::array<QStringList, 3> rawCatalogue(const std::string& path) {
    std::array<QStringList, 3> fields;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, "SELECT id, value FROM cells ORDER BY id", -1, &st, nullptr);
        while (st && sqlite3_step(st) == SQLITE_ROW) {
            const sqlite3_int64 id = sqlite3_column_int64(st, 0);
            const auto record = static_cast<int>(id >> 8);
            const auto field = static_cast<std::size_t>(id & 255);
            if (record == 0 || field == 0 || field > fields.size()) continue;
            QStringList& list = fields[field - 1];
            while (list.size() < record) list.append(QString());
            list[record - 1] =
                QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 1)),
                                  sqlite3_column_bytes(st, 1));
        }
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
    return fields;
}

void BM_OpenToShownFloor(benchmark::State& state) {
    const std::string path = catalogue().paths().product();
    int shown = 0;
    for (auto _ : state) {
        auto w = std::make_unique<QWidget>();
        auto* layout = new QHBoxLayout(w.get());
        const auto fields = rawCatalogue(path);
        shown = 0;
        for (const QStringList& texts : fields) {
            auto* list = new QListWidget;
            list->setUniformItemSizes(true);
            layout->addWidget(list);
            for (const QString& text : texts) {
                auto* item = new QListWidgetItem(text);
                item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
                item->setCheckState(Qt::Unchecked);
                list->addItem(item);
            }
            shown += list->count();
        }
        w->resize(718, 424);
        w->show();
        QApplication::processEvents();
        state.PauseTiming();
        w.reset();
        state.ResumeTiming();
    }
    if (shown != 3 * kProducts) state.SkipWithError("the lists miss products");
}

void BM_AcceptedAdd(benchmark::State& state) {
    catalogue();
    app::ScriptedPlatform platform;
    products::ProductWindow w(app::CheckoutArea{});
    auto* name = w.findChild<QLineEdit*>("编辑框_名称");
    auto* price = w.findChild<QLineEdit*>("编辑框_产品价格");
    auto* quantity = w.findChild<QLineEdit*>("编辑框_数量");
    auto* add = w.findChild<QPushButton*>("图形按钮_添加产品");
    for (auto _ : state) {
        name->setText(QStringLiteral("新商品"));
        price->setText(QStringLiteral("9.9"));
        quantity->setText(QStringLiteral("12"));
        add->click();
    }
    if (platform.exited()) state.SkipWithError("the rewrite failed");
    state.counters["records"] =
        static_cast<double>(kProducts) + static_cast<double>(state.iterations());
}

BENCHMARK(BM_OpenToShown)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_OpenToShownFloor)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_AcceptedAdd)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) { return shop::bench::runQtBenchmarks(argc, argv); }
