// The receipt window's generate with 1,000 rows in the checkout list: the
// three hidden boxes gather the rows, the columns, amounts and time are set
// and the columns laid out.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QTreeWidget>
#include <memory>

#include "app/scripted_platform.h"
#include "receipts/receipt_window.h"
#include "support/qt_bench.h"
#include "support/run_folder.h"

namespace {

using namespace shop;

constexpr int kRows = 1000;

void BM_GenerateFirst(benchmark::State& state) {
    test::RunFolder run;
    app::ScriptedPlatform platform;
    QTreeWidget list;
    list.setColumnCount(4);
    for (int i = 0; i < kRows; ++i) {
        auto* row = new QTreeWidgetItem(&list);
        row->setText(0, QStringLiteral("商品名称%1").arg(i));
        row->setText(1, QStringLiteral("%1.5元").arg(i % 97));
        row->setText(2, QString::number(1 + i % 9));
        row->setText(3, QStringLiteral("2024年3月5日14时7分9秒"));
    }
    QComboBox goods;
    QLabel total(QStringLiteral("12345.5元")), change(QStringLiteral("4.5元"));
    const app::CheckoutArea area{&list, &goods, &total, &change};
    for (auto _ : state) {
        state.PauseTiming();
        auto w = std::make_unique<receipts::ReceiptWindow>(area);
        w->show();
        QApplication::processEvents();
        state.ResumeTiming();
        w->generate();
        QApplication::processEvents();  // the columns repaint
        state.PauseTiming();
        w.reset();
        state.ResumeTiming();
    }
}

BENCHMARK(BM_GenerateFirst)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

int main(int argc, char** argv) { return shop::bench::runQtBenchmarks(argc, argv); }
