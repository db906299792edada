// The backup at each orderly exit, in a shop that has been running a while:
// the shipped tables, 36 older runs' sales tables of 500 records each, an
// employee table with 20 photos, and the run that just ended recorded
// 10,000 rows.
//   ExitBackupAfter10000Rows   the rolling backup right after that exit: only
//                              the new sales table is copied, every other
//                              file is linked from the previous backup
//   FullBackupOfTheSameFolder  the same folder with no previous backup, so
//                              every file is copied and hashed
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "backup/backup.h"
#include "storage/data_paths.h"
#include "storage/schemas.h"
#include "storage/table.h"

namespace {

using namespace shop::storage;
using namespace shop::backup;
namespace fs = std::filesystem;

constexpr int kOlderRuns = 36;
constexpr int kOlderRunRows = 500;
constexpr int kExitRows = 10000;
constexpr int kPhotos = 20;

void check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "benchmark setup failed: %s\n", what);
        std::abort();
    }
}

// A sales table of `rows` checkout rows, written the way the exit writes them.
void salesTable(const std::string& path, int rows) {
    check(create(path, schemas::sales()) && open(path), "create sales table");
    Batch batch;
    for (int r = 1; r <= rows; ++r) {
        check(appendBlank(), "append");
        check(writeText(1, "商品" + std::to_string(r)) && writeText(2, "2.5") &&
                  writeText(3, "3") && writeText(4, "2024年3月5日14时7分9秒"),
              "write");
    }
    check(batch.commit(), "commit");
    close();
}

struct Shop {
    std::string run;
    int runs = 0;

    Shop() {
        std::string pattern = (fs::temp_directory_path() / "shop-bench-XXXXXX").string();
        check(::mkdtemp(pattern.data()) != nullptr, "temp folder");
        run = pattern;
        for (const char* f : {kProductFolder, kSalesFolder, kEmployeeFolder, kLeaveFolder,
                              kSalaryFolder, kSettingsFolder})
            fs::create_directories(joinPath(run, f));
        const DataPaths paths{run};
        check(create(paths.product(), schemas::product()) &&
                  create(paths.productSave(), schemas::productSave()) &&
                  create(paths.employee(), schemas::employee()),
              "shipped tables");
        check(open(paths.employee()), "employee table");
        Batch batch;
        for (int e = 1; e <= kPhotos; ++e)
            check(appendBlank() &&
                      writeField(1, Value::bytes(std::string(200000, static_cast<char>(e)))) &&
                      writeText(3, "员工" + std::to_string(e)),
                  "employee");
        check(batch.commit(), "commit employees");
        close();
        for (int i = 0; i < kOlderRuns; ++i) salesTable(nextRun(), kOlderRunRows);
        std::FILE* ini = std::fopen(paths.settingsFile().c_str(), "w");
        check(ini && std::fputs("[收银]\n店名=澄屿\n", ini) >= 0 && std::fclose(ini) == 0,
              "settings");
    }
    ~Shop() {
        std::error_code ec;
        fs::remove_all(run, ec);
    }
    std::string nextRun() {
        ++runs;
        return joinPath(
            run, kSalesFolder,
            kSalesPrefix + dateText({2024, 1 + runs / 28, 1 + runs % 28, 9, 0, 0}) + ".edb");
    }
};

void ExitBackupAfter10000Rows(benchmark::State& state) {
    Shop shop;
    check(rollingBackup(shop.run).ok, "first backup");
    for (auto _ : state) {
        state.PauseTiming();
        salesTable(shop.nextRun(), kExitRows);
        state.ResumeTiming();
        const BackupReport r = rollingBackup(shop.run);
        if (!r.ok || r.copied != 1)
            state.SkipWithError("the exit backup did not copy just the new table");
    }
}
BENCHMARK(ExitBackupAfter10000Rows)->Unit(benchmark::kMillisecond)->Iterations(10);

void FullBackupOfTheSameFolder(benchmark::State& state) {
    Shop shop;
    salesTable(shop.nextRun(), kExitRows);
    const std::string dest = shop.run + "/full";
    for (auto _ : state) {
        const BackupReport r = takeBackup(shop.run, dest);
        if (!r.ok || r.reused != 0) state.SkipWithError("the full backup did not copy every file");
        state.PauseTiming();
        fs::remove_all(dest);
        state.ResumeTiming();
    }
}
BENCHMARK(FullBackupOfTheSameFolder)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

BENCHMARK_MAIN();
