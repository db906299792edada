// The day close over a day of 10,000 sales in 20 runs of the till: 500 sales
// a run of two lines each (19.99 x 3 and 1.2 x 3), the four payment methods
// in turn, a refund after every 50th sale and one line left unpaid at each
// exit (20 sales tables of 20,540 rows in all, 20 ticket tables of 10,200
// tickets).
//   BM_DayClose  opening 日结: the day's closes read, every table of the day
//                read and the figures summed (target: under 100 ms)
// The figures are checked against their hand-worked sums on every run.
#include <benchmark/benchmark.h>

#include <QTemporaryDir>
#include <stdexcept>

#include "dayclose/day_close_model.h"
#include "dayclose/till_day.h"
#include "support/qt_bench.h"

namespace {

using namespace shop;
using storage::Moment;

constexpr int kRuns = 20;
constexpr int kSalesPerRun = 500;
const Moment kDay{2026, 12, 10};

Moment at(int run, int minute) {
    return {kDay.year, kDay.month, kDay.day, 6 + run / 2, (run % 2) * 30 + minute, 0};
}

void makeDay(const storage::DataPaths& paths) {
    const char* methods[] = {"现金", "微信", "支付宝", "银行卡"};
    int sequence = 0;
    for (int r = 0; r < kRuns; ++r) {
        test::TillRun till(paths, at(r, 0), sequence);
        for (int s = 0; s < kSalesPerRun; ++s) {
            const std::string receipt =
                till.pay({{"茶", "19.99", "3"}, {"笔", "1.2", "3"}}, methods[s % 4], at(r, 1));
            if (s % 50 == 49) till.pay({{"笔", "1.2", "-1"}}, methods[s % 4], at(r, 2), receipt);
        }
        till.leaveUnpaid({{"糖", "0.1", "3"}}, at(r, 3));
        till.write();
    }
}

void BM_DayClose(benchmark::State& state) {
    QTemporaryDir dir;
    storage::DataPaths paths{dir.path().toStdString()};
    for (const char* folder : {storage::kSalesFolder, storage::kTicketFolder})
        std::filesystem::create_directories(storage::joinPath(paths.runDir, folder));
    makeDay(paths);
    dayclose::DayCloseModel model(paths.runDir, "小李");
    for (auto _ : state) {
        model.load({kDay.year, kDay.month, kDay.day, 20, 0, 0});
        benchmark::DoNotOptimize(model.figures());
    }
    const dayclose::DayFigures& f = model.figures();
    const int refunds = kRuns * kSalesPerRun / 50;
    if (f.sales != kRuns * kSalesPerRun || f.refunds != refunds ||
        f.salesTotal != checkout::Fen{kRuns} * kSalesPerRun * (5997 + 360) ||
        f.refundTotal != refunds * 120 || f.unpaidLines != kRuns || f.unpaidAmount != kRuns * 30 ||
        !model.unreadable().empty())
        throw std::runtime_error("the day close summed the day wrongly");
    state.counters["sales"] = f.sales;
    state.counters["tables"] = 2 * kRuns;
}
BENCHMARK(BM_DayClose)->Unit(benchmark::kMillisecond)->Repetitions(20)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) { return shop::bench::runQtBenchmarks(argc, argv); }
