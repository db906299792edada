// The shop server's figures, against a real PostgreSQL started here: how
// many sales a till uploads per second (a day's outbox drained at once), and
// how long a sale takes from 收款 to visible on the server while online.
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "server/pg_connection.h"
#include "server/shop_server_fixture.h"
#include "server/test_till.h"
#include "server/upload_cursor.h"
#include "storage/data_paths.h"
#include "support/qt_bench.h"

namespace {

using namespace shop;
using test::ShopServer;

long long onServer() {
    static server::PgConnection c = ShopServer::instance().adminConnection();
    return std::stoll("0" + c.value("SELECT count(*) FROM tickets"));
}

std::unique_ptr<test::TestTill> joinedTill() {
    ShopServer::instance().reset();
    auto till = std::make_unique<test::TestTill>("01", storage::Moment{2026, 12, 10, 8, 0, 0});
    till->join(ShopServer::instance().connection("till01"));
    test::runTool(
        {"server", "catalogue", till->dir(), ShopServer::instance().connection("office")});
    return till;
}

// A day's outbox of 2,000 sales, uploaded from nothing each time.
void BM_UploadThroughput(benchmark::State& state) {
    const int sales = 2000;
    auto till = joinedTill();
    till->beginRun();
    for (int i = 0; i < sales; ++i) till->sell(i % 2, 1 + i % 3);
    till->endRun();
    const std::string cursor =
        storage::joinPath(till->dir(), storage::kSettingsFolder, "上传进度.txt");
    for (auto _ : state) {
        state.PauseTiming();
        ShopServer::instance().adminConnection().exec("TRUNCATE sale_rows, tickets");
        std::filesystem::remove(cursor);
        state.ResumeTiming();
        till->startUploader();
        test::waitUntil([&] { return onServer() >= sales; }, 600);
        till->stopUploader();
    }
    if (onServer() != sales) state.SkipWithError("not every sale arrived");
    state.SetItemsProcessed(state.iterations() * sales);
}
BENCHMARK(BM_UploadThroughput)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// One sale at a time, online: 收款 returns, then the ticket shows on the server.
void BM_SaleToVisibleOnServer(benchmark::State& state) {
    auto till = joinedTill();
    till->startUploader();
    test::waitUntil([&] { return till->status().online; }, 30);
    till->beginRun();
    long long sold = 0;
    for (auto _ : state) {
        till->sell(0, 1);
        ++sold;
        while (onServer() < sold) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    till->endRun();
    if (onServer() != sold) state.SkipWithError("a sale went missing");
}
BENCHMARK(BM_SaleToVisibleOnServer)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(50);

}  // namespace

int main(int argc, char** argv) { return shop::bench::runQtBenchmarks(argc, argv); }
