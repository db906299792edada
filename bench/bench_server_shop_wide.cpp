// 全店 against 本机: the whole shop's query on the server over 10 tills x 3
// years, beside the till's own query over its 3 years of tables, both giving
// rows and the chart's totals. One run a day, 20 records each, per till
// (server: 219,000 rows of 10 tills; local: 21,900 rows in 1,095 tables).
//   BM_ShopWideOnServer   the 全店 query as the window runs it (server, sort, totals)
//   BM_LocalThreeYears    the 本机 query of one till
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <cstdio>
#include <filesystem>

#include "app/run_directory.h"
#include "performance/sales_query.h"
#include "performance/shop_wide_query.h"
#include "server/pg_connection.h"
#include "server/shop_server_fixture.h"
#include "server/test_till.h"
#include "storage/data_paths.h"
#include "storage/schemas.h"
#include "storage/table.h"
#include "support/qt_bench.h"

namespace {

using namespace shop;
using storage::Moment;
namespace fs = std::filesystem;

constexpr int kTills = 10;
constexpr int kDays = 3 * 365;
constexpr int kRecords = 20;
const Moment kFirstDay{2024, 1, 1};
const Moment kLastDay = storage::fromDayNumber(storage::dayNumber(kFirstDay) + kDays - 1);

// The shop's server holding 10 tills' 3 years, and till 01's run folder
// joined to it with the same 3 years in its own tables.
class ShopFixture {
public:
    ShopFixture() : m_till("01", kFirstDay) {
        test::ShopServer& shop = test::ShopServer::instance();
        shop.reset();
        m_till.join(shop.connection("till01"));
        // Making the fixture's rows takes longer than a till's statement may.
        server::PgConnection admin = server::PgConnection::open(shop.admin(), {10, 3600000});
        const server::PgResult made = admin.exec(
            "INSERT INTO sale_rows (till, run_table, record, name, price, quantity, moment,"
            " sale_second)"
            " SELECT lpad(t::text, 2, '0'), format('销售数据%s年%s月%s日8时0分0秒',"
            " extract(year FROM d)::int, extract(month FROM d)::int, extract(day FROM d)::int),"
            " r, '商品' || r, (r % 20 + 1) || '.5元', (r % 5 + 1)::text,"
            " format('%s年%s月%s日9时0分0秒', extract(year FROM d)::int,"
            " extract(month FROM d)::int, extract(day FROM d)::int),"
            // The second a till sends with the row: its day's number, 9 o'clock.
            " ((d::date - '2024-01-01'::date) + $4::bigint) * 86400 + 9 * 3600"
            " FROM generate_series(1, $1::int) t,"
            " generate_series('2024-01-01'::date, '2024-01-01'::date + $2::int - 1, '1 day') d,"
            " generate_series(1, $3::int) r",
            {std::to_string(kTills), std::to_string(kDays), std::to_string(kRecords),
             std::to_string(storage::dayNumber(kFirstDay))});
        if (!made.ok()) std::fprintf(stderr, "the server's sales: %s\n", made.error().c_str());
        // As the server's autovacuum leaves a table that rows were added to:
        // its visibility map set, so the query reads the index alone.
        admin.exec("VACUUM ANALYZE sale_rows");
        const storage::DataPaths paths{m_till.dir()};
        for (int day = 0; day < kDays; ++day) {
            Moment start = storage::fromDayNumber(storage::dayNumber(kFirstDay) + day);
            start.hour = 8;
            const std::string path = paths.salesTable(start);
            storage::create(path, storage::schemas::sales());
            storage::open(path);
            storage::Batch batch;
            Moment sold = start;
            sold.hour = 9;
            for (int r = 1; r <= kRecords; ++r) {
                storage::appendBlank();
                storage::writeText(1, "商品" + std::to_string(r));
                storage::writeText(2, std::to_string(r % 20 + 1) + ".5元");
                storage::writeText(3, std::to_string(r % 5 + 1));
                storage::writeText(4, storage::dateText(sold));
            }
            batch.commit();
            storage::close();
        }
        app::setRunDirectory(m_till.dir());
    }
    const std::string& runDir() const { return m_till.dir(); }

private:
    test::TestTill m_till;
};

ShopFixture& fixture() {
    static ShopFixture f;
    return f;
}

void BM_ShopWideOnServer(benchmark::State& state) {
    ShopFixture& f = fixture();
    std::size_t rows = 0;
    double revenue = 0;
    for (auto _ : state) {
        QEventLoop loop;
        QObject receiver;
        performance::startShopWideQuery(
            f.runDir(), kFirstDay, kLastDay, &receiver, [&](performance::ShopWideResult r) {
                rows = r.sales.rows.size();
                if (!r.ok) std::fprintf(stderr, "全店: %s\n", r.failure.toStdString().c_str());
                revenue = r.sales.revenue;
                loop.quit();
            });
        loop.exec();
    }
    if (rows != static_cast<std::size_t>(kTills) * kDays * kRecords)
        state.SkipWithError("not every row came");
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["revenue"] = revenue;
}
BENCHMARK(BM_ShopWideOnServer)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_LocalThreeYears(benchmark::State& state) {
    ShopFixture& f = fixture();
    performance::SalesQuery q;
    q.runDir = f.runDir();
    q.firstDay = kFirstDay;
    q.lastDay = kLastDay;
    q.listFolder = [](const std::string& folder, const std::string&) {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(folder))
            names.push_back(e.path().filename().string());
        return names;
    };
    std::size_t rows = 0;
    for (auto _ : state) {
        performance::SalesQueryResult r = performance::runSalesQuery(q);
        rows = r.rows.size();
        for (const std::string& t : r.openedTables) storage::close(t);
    }
    if (rows != static_cast<std::size_t>(kDays) * kRecords) state.SkipWithError("rows missing");
    state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_LocalThreeYears)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

int main(int argc, char** argv) { return shop::bench::runQtBenchmarks(argc, argv); }
