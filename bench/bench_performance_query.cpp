// The sales performance query over a year of daily runs: 365 sales tables of
// 100 records each, queried over the whole year.
//   BM_ClickToChart      the query button of the window, until list and chart are set
//   BM_SalesQuery        the query alone, trying only the names the listing holds
//   BM_NaivePairing      the query trying every pair of listed file and day
// Peak memory (getrusage) is reported as the counter peak_rss_mb.
#include <benchmark/benchmark.h>

#include "support/qt_bench.h"
#include <sys/resource.h>

#include <QApplication>
#include <QDate>
#include <QDateEdit>
#include <QPieSeries>
#include <QPieSlice>
#include <QPushButton>
#include <QTemporaryDir>
#include <filesystem>
#include <memory>

#include "app/run_directory.h"
#include "performance/performance_window.h"
#include "performance/sales_query.h"
#include "storage/data_paths.h"
#include "storage/schemas.h"
#include "storage/table.h"

namespace {

using namespace shop;
using storage::Moment;

constexpr int kDays = 365;
constexpr int kRecords = 100;
const Moment kFirstDay{2023, 1, 1};

// A run folder holding one sales table per day of the year, each run started
// at its own time of day.
class YearOfSales {
public:
    YearOfSales() {
        m_paths.runDir = m_dir.path().toStdString();
        std::filesystem::create_directories(m_paths.salesFolder());
        const long long first = storage::dayNumber(kFirstDay);
        for (int day = 0; day < kDays; ++day) {
            Moment start = storage::fromDayNumber(first + day);
            start.hour = 8 + day / 60;
            start.minute = day % 60;
            start.second = 17;
            const std::string path = m_paths.salesTable(start);
            storage::create(path, storage::schemas::sales());
            storage::open(path);
            storage::Batch batch;
            for (int r = 0; r < kRecords; ++r) {
                storage::appendBlank();
                storage::writeText(1, "商品" + std::to_string(r));
                storage::writeText(2, std::to_string(r % 20 + 1) + ".5元");
                storage::writeText(3, std::to_string(r % 5 + 1));
                storage::writeText(4, storage::dateText(start));
            }
            batch.commit();
            storage::close();
        }
        app::setRunDirectory(m_paths.runDir);
    }

    performance::SalesQuery query(bool onlyListed) const {
        performance::SalesQuery q;
        q.runDir = m_paths.runDir;
        q.firstDay = kFirstDay;
        q.lastDay = storage::fromDayNumber(storage::dayNumber(kFirstDay) + kDays - 1);
        q.listFolder = [](const std::string& folder, const std::string&) {
            std::vector<std::string> names;
            for (const auto& e : std::filesystem::directory_iterator(folder))
                names.push_back(e.path().filename().string());
            return names;
        };
        q.onlyListedNames = onlyListed;
        return q;
    }

private:
    QTemporaryDir m_dir;
    storage::DataPaths m_paths;
};

YearOfSales& year() {
    static YearOfSales data;
    return data;
}

void BM_ClickToChart(benchmark::State& state) {
    year();
    performance::PerformanceWindow window;
    window.findChild<QDateEdit*>("日期框_起")->setDate(QDate(kFirstDay.year, kFirstDay.month, kFirstDay.day));
    window.findChild<QDateEdit*>("日期框_终")->setDate(QDate(kFirstDay.year, 12, 31));
    auto* button = window.findChild<QPushButton*>("图形按钮_查询");
    for (auto _ : state) {
        button->click();
        benchmark::DoNotOptimize(window.chartSeries()->slices()[0]->value());
    }
    if (window.chartSeries()->slices()[0]->value() != kDays * kRecords) state.SkipWithError("incomplete result");
    state.counters["rows"] = window.chartSeries()->slices()[0]->value();
    state.counters["peak_rss_mb"] = shop::bench::peakRssMb();
}

void runQuery(benchmark::State& state, bool onlyListed) {
    const auto query = year().query(onlyListed);
    performance::SalesQueryResult result;
    for (auto _ : state) {
        result = performance::runSalesQuery(query);
        benchmark::DoNotOptimize(result.revenue);
    }
    if (result.rows.size() != kDays * kRecords) state.SkipWithError("incomplete result");
    state.counters["open_attempts"] = result.openAttempts;
    state.counters["rows"] = static_cast<double>(result.rows.size());
    state.counters["peak_rss_mb"] = shop::bench::peakRssMb();
}

void BM_SalesQuery(benchmark::State& state) { runQuery(state, true); }
void BM_NaivePairing(benchmark::State& state) { runQuery(state, false); }

BENCHMARK(BM_ClickToChart)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_SalesQuery)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_NaivePairing)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

int main(int argc, char** argv) { return shop::bench::runQtBenchmarks(argc, argv); }
