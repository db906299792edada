// The product window on a catalogue of 50,000 products.
//   BM_OpenToShown    construct the window (open the table, read every
//                     record, fill the three lists) and show it, events done
//   BM_AcceptedAdd    one accepted add: the lists grow by one and the whole
//                     table is rewritten in one batch
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
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
BENCHMARK(BM_AcceptedAdd)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) { return shop::bench::runQtBenchmarks(argc, argv); }
