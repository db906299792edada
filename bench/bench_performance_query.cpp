// The sales performance query over 1, 3 and 10 years of daily sales: two runs
// a day, 100 records each (10 years: 7,300 tables, 730,000 rows).
//   BM_ClickToChart/years  the query button of the window, until list and chart are set
//   BM_SalesQuery/years    the query alone
//   BM_QueryAndReports/years  the query, then 销售排行 and 每日销售 over its rows: the
//                          reports' cost beside the query's (target: within 1.2x of it)
//   BM_RawFloor/years      the floor of the query: plain SQLite opening the same tables on the
//                          same number of threads and reading them into the same rows, with
//                          none of the checks a table from anywhere gets
//   BM_NaivePairing/1      trying every pair of listed file and day, for comparison:
//                          its cost grows with files x days, the query's with tables read
// Counters: rows and tables read; process_cpu_ms, the CPU time of all threads
// per query (the wall time on a busy machine is mostly waiting); rss_growth_mb is the peak resident
// memory at the end less the resident memory before the window or query was made (run one size per
// process, --benchmark_filter=.../10$, for a clean figure).
//
// Making 7,300 tables takes a while, so each fixture is made once into the
// build folder's bench cache and reused; a fixture whose making was cut short
// has no stamp and is made again.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <sys/resource.h>

#include <QDate>
#include <QDateEdit>
#include <QPieSeries>
#include <QPieSlice>
#include <QPushButton>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <stdexcept>
#include <thread>

#include "app/run_directory.h"
#include "performance/daily_sales.h"
#include "performance/performance_window.h"
#include "performance/sales_query.h"
#include "performance/sales_ranking.h"
#include "storage/data_paths.h"
#include "storage/schemas.h"
#include "storage/table.h"
#include "support/qt_bench.h"

namespace {

using namespace shop;
using storage::Moment;
namespace fs = std::filesystem;

constexpr int kDaysPerYear = 365;
constexpr int kRunsPerDay = 2;
constexpr int kRecords = 100;
const Moment kFirstDay{2015, 1, 1};
// Every record of the model table: price "<r % 20 + 1>.5元", quantity "<r % 5 + 1>".
double modelRevenue() {
    double sum = 0;
    for (int r = 0; r < kRecords; ++r) sum += (r % 20 + 1.5) * (r % 5 + 1);
    return sum;
}

fs::path fsPath(const std::string& utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

// Writes the 100 records of one run into a new sales table at `path`.
bool writeModelTable(const std::string& path, const Moment& start) {
    if (!storage::create(path, storage::schemas::sales()) || !storage::open(path)) return false;
    bool ok = true;
    {
        storage::Batch batch;
        for (int r = 0; r < kRecords && ok; ++r) {
            ok = storage::appendBlank() && storage::writeText(1, "商品" + std::to_string(r)) &&
                 storage::writeText(2, std::to_string(r % 20 + 1) + ".5元") &&
                 storage::writeText(3, std::to_string(r % 5 + 1)) &&
                 storage::writeText(4, storage::dateText(start));
        }
        ok = ok && batch.commit();
    }
    storage::close();
    return ok;
}

// A run folder with `years` of daily sales tables, in the bench cache. The
// runs start in the morning and the afternoon at times of day that repeat
// every few weeks, so many tables share a time of day, as in a real shop.
class SalesYears {
public:
    explicit SalesYears(int years) : m_years(years) {
        const fs::path root =
            fs::path(SHOP_BENCH_CACHE) / ("sales-" + std::to_string(years) + "y-v1");
        m_paths.runDir = root.string();
        const fs::path stamp = root / "complete";
        if (fs::exists(stamp)) return;
        fs::remove_all(root);
        fs::create_directories(fsPath(m_paths.salesFolder()));
        const std::string model = (root / "model.edb").string();
        if (!writeModelTable(model, kFirstDay)) throw std::runtime_error("cannot make " + model);
        const long long first = storage::dayNumber(kFirstDay);
        for (int day = 0; day < days(); ++day) {
            for (int run = 0; run < kRunsPerDay; ++run) {
                Moment start = storage::fromDayNumber(first + day);
                start.hour = run == 0 ? 8 : 14;
                start.minute = (day * 7) % 60;
                start.second = (day * 13 + run) % 60;
                fs::copy_file(model, fsPath(m_paths.salesTable(start)));
            }
        }
        fs::remove(model);
        std::ofstream(stamp) << tables() << " tables\n";
    }

    int days() const { return m_years * kDaysPerYear; }
    int tables() const { return days() * kRunsPerDay; }
    int rows() const { return tables() * kRecords; }
    double revenue() const { return tables() * modelRevenue(); }
    Moment lastDay() const {
        return storage::fromDayNumber(storage::dayNumber(kFirstDay) + days() - 1);
    }
    const std::string& runDir() const { return m_paths.runDir; }

    performance::SalesQuery query() const {
        performance::SalesQuery q;
        q.runDir = m_paths.runDir;
        q.firstDay = kFirstDay;
        q.lastDay = lastDay();
        q.listFolder = [](const std::string& folder, const std::string&) {
            std::vector<std::string> names;
            for (const auto& e : fs::directory_iterator(fsPath(folder)))
                names.push_back(e.path().filename().string());
            return names;
        };
        return q;
    }

private:
    int m_years;
    storage::DataPaths m_paths;
};

const SalesYears& salesOf(int years) {
    static std::map<int, std::unique_ptr<SalesYears>> made;
    auto& slot = made[years];
    if (!slot) slot = std::make_unique<SalesYears>(years);
    return *slot;
}

// CPU time of the whole process, worker threads included, in milliseconds:
// on a busy machine it tells the work done apart from the wait for a core.
double processCpuMs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

void report(benchmark::State& state, const SalesYears& sales, double rows, double revenue,
            double rssBefore, double cpuBefore) {
    if (rows != sales.rows() || revenue != sales.revenue())
        state.SkipWithError("incomplete result");
    state.counters["process_cpu_ms"] =
        (processCpuMs() - cpuBefore) / static_cast<double>(state.iterations());
    state.counters["rows"] = rows;
    state.counters["tables"] = sales.tables();
    state.counters["rss_growth_mb"] = shop::bench::peakRssMb() - rssBefore;
}

void BM_ClickToChart(benchmark::State& state) {
    const SalesYears& sales = salesOf(static_cast<int>(state.range(0)));
    storage::closeAll();
    const double rssBefore = shop::bench::currentRssMb();
    const double cpuBefore = processCpuMs();
    app::setRunDirectory(sales.runDir());
    performance::PerformanceWindow window;
    const Moment last = sales.lastDay();
    window.findChild<QDateEdit*>("日期框_起")
        ->setDate(QDate(kFirstDay.year, kFirstDay.month, kFirstDay.day));
    window.findChild<QDateEdit*>("日期框_终")->setDate(QDate(last.year, last.month, last.day));
    auto* button = window.findChild<QPushButton*>("图形按钮_查询");
    const auto slices = window.chartSeries()->slices();
    for (auto _ : state) {
        button->click();
        benchmark::DoNotOptimize(slices[0]->value());
    }
    report(state, sales, slices[0]->value(), slices[1]->value(), rssBefore, cpuBefore);
}

// The query alone, or the query followed by both reports over its rows.
void queryBench(benchmark::State& state, bool withReports) {
    const SalesYears& sales = salesOf(static_cast<int>(state.range(0)));
    storage::closeAll();
    const double rssBefore = shop::bench::currentRssMb();
    const auto query = sales.query();
    const double cpuBefore = processCpuMs();
    performance::SalesQueryResult result;
    bool agree = true;
    for (auto _ : state) {
        result = performance::runSalesQuery(query);
        // The exact sum: DoNotOptimize on the double came back as 0 here.
        benchmark::DoNotOptimize(result.revenueFen);
        if (!withReports) continue;
        const auto ranking = performance::rankSales(result.rows, performance::RankBy::Quantity);
        const auto daily = performance::dailySales(result.rows, query.firstDay, query.lastDay);
        benchmark::DoNotOptimize(ranking.goods.data());
        benchmark::DoNotOptimize(daily.days.data());
        // The reports must agree with the query to the fen.
        agree = agree && ranking.totalRevenueFen == result.revenueFen &&
                daily.totalRevenueFen == result.revenueFen;
    }
    if (!agree) state.SkipWithError("reports disagree with the query");
    report(state, sales, static_cast<double>(result.rows.size()),
           static_cast<double>(result.revenueFen) / 100, rssBefore, cpuBefore);
}

void BM_SalesQuery(benchmark::State& state) { queryBench(state, false); }
void BM_QueryAndReports(benchmark::State& state) { queryBench(state, true); }

// The rows of one sales table read with plain SQLite: each cell's key is its
// record number shifted past eight bits of field position.
std::vector<performance::SalesRow> rawRows(const std::string& path) {
    std::vector<performance::SalesRow> rows;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr) ==
        SQLITE_OK) {
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, "SELECT id, value FROM cells ORDER BY id", -1, &st, nullptr);
        while (st && sqlite3_step(st) == SQLITE_ROW) {
            const sqlite3_int64 id = sqlite3_column_int64(st, 0);
            const auto record = static_cast<std::size_t>(id >> 8);
            const auto field = static_cast<std::size_t>(id & 255);
            if (record == 0 || field == 0 || field > 4) continue;
            if (rows.size() < record) rows.resize(record);
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(st, 1));
            rows[record - 1][field - 1].assign(
                text, static_cast<std::size_t>(sqlite3_column_bytes(st, 1)));
        }
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
    return rows;
}

void BM_RawFloor(benchmark::State& state) {
    const SalesYears& sales = salesOf(static_cast<int>(state.range(0)));
    storage::closeAll();
    const double rssBefore = shop::bench::currentRssMb();
    const auto query = sales.query();
    const std::string folder = storage::DataPaths{query.runDir}.salesFolder();
    const double cpuBefore = processCpuMs();
    performance::SalesQueryResult result;
    for (auto _ : state) {
        std::vector<std::string> paths;
        for (const std::string& name : query.listFolder(folder, "*.*"))
            paths.push_back(storage::joinPath(folder, name));
        std::vector<std::vector<performance::SalesRow>> tables(paths.size());
        std::atomic<std::size_t> next{0};
        const auto work = [&] {
            for (std::size_t i = next++; i < paths.size(); i = next++)
                tables[i] = rawRows(paths[i]);
        };
        std::vector<std::jthread> threads;
        for (std::size_t w = 0, n = performance::queryWorkers(paths.size()); w < n; ++w)
            threads.emplace_back(work);
        threads.clear();
        result.rows.clear();
        for (auto& rows : tables)
            std::move(rows.begin(), rows.end(), std::back_inserter(result.rows));
        benchmark::DoNotOptimize(result.rows.data());
    }
    const double cpu = processCpuMs();
    // The sums are checked outside the measured work, as the query's own are part of it.
    performance::addTotals(result);
    report(state, sales, static_cast<double>(result.rows.size()),
           static_cast<double>(result.revenueFen) / 100, rssBefore, cpuBefore);
    state.counters["process_cpu_ms"] = (cpu - cpuBefore) / static_cast<double>(state.iterations());
}

// Every listed file's time of day joined to every day of the range, each
// joined name opened if it can be: files x days open attempts. Tables that
// share a time of day are read once per file that carries it, so the rows
// are counted, not checked.
void BM_NaivePairing(benchmark::State& state) {
    const SalesYears& sales = salesOf(static_cast<int>(state.range(0)));
    storage::closeAll();
    const auto query = sales.query();
    const std::string folder = storage::DataPaths{query.runDir}.salesFolder();
    double attempts = 0, rows = 0;
    for (auto _ : state) {
        attempts = rows = 0;
        const auto days = performance::dayNames(query.firstDay, query.lastDay);
        for (const std::string& name : query.listFolder(folder, "*.*")) {
            const std::string time = performance::timePart(name);
            for (const std::string& day : days) {
                const auto read = performance::readSalesTable(
                    storage::joinPath(query.runDir, storage::kSalesFolder, day + time + ".edb"));
                rows += static_cast<double>(read.rows.size());
                ++attempts;
            }
        }
    }
    state.counters["open_attempts"] = attempts;
    state.counters["rows"] = rows;
}

BENCHMARK(BM_ClickToChart)->Arg(1)->Arg(3)->Arg(10)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SalesQuery)->Arg(1)->Arg(3)->Arg(10)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_QueryAndReports)
    ->Arg(1)
    ->Arg(3)
    ->Arg(10)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK(BM_RawFloor)->Arg(1)->Arg(3)->Arg(10)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_NaivePairing)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) { return shop::bench::runQtBenchmarks(argc, argv); }
