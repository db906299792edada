// Start-up: a program started from nothing until its window is shown, for
// the shop with 10,000 goods names in the product-save table and for a bare
// program that shows one empty frameless window. Each iteration starts this
// benchmark's own executable again in the wanted role, offscreen, and waits
// for it; a child ends the moment its window is shown. The shop's peak
// resident memory comes from the child's usage.
// The warm construction of the main window inside one process is measured
// too.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "app/localisation.h"
#include "app/run_directory.h"
#include "app/scripted_platform.h"
#include "app/style.h"
#include "barcodes/barcode_table.h"
#include "barcodes/check_digit.h"
#include "checkout/main_window.h"
#include "checkout/sale_journal.h"
#include "storage/table.h"
#include "support/run_folder.h"

extern char** environ;

namespace {

constexpr int kGoods = 10000;
std::string g_self;

shop::test::RunFolder& shopFolder() {
    static shop::test::RunFolder run;
    static const bool filled = [] {
        std::vector<std::string> names;
        for (int i = 0; i < kGoods; ++i) names.push_back("商品" + std::to_string(i));
        run.setProductSave(names);
        return true;
    }();
    (void)filled;
    return run;
}

// The same shop with 100,000 codes in its barcode table: read beside the
// start, they must not delay the window.
shop::test::RunFolder& codesFolder() {
    static shop::test::RunFolder run;
    static const bool filled = [] {
        std::vector<std::string> names;
        for (int i = 0; i < kGoods; ++i) names.push_back("商品" + std::to_string(i));
        run.setProductSave(names);
        std::vector<shop::barcodes::CodeEntry> codes;
        for (int i = 0; i < 100000; ++i)
            codes.push_back({shop::barcodes::withCheckDigit(std::to_string(690000000000LL + i)),
                             names[static_cast<std::size_t>(i % kGoods)]});
        return shop::barcodes::addCodes(run.paths().barcodes(), codes).ok();
    }();
    if (!filled) std::fprintf(stderr, "the codes were not stored\n");
    return run;
}

// Runs this executable in a role; returns its exit status, fills its usage.
int runChild(const std::vector<std::string>& args, rusage& usage) {
    std::vector<char*> argv{g_self.data()};
    std::vector<std::string> copy = args;
    for (auto& a : copy) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, g_self.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return -1;
    int status = 0;
    if (wait4(pid, &status, 0, &usage) != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

double cpuMsOf(const rusage& usage) {
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

void startPrograms(benchmark::State& state, const std::vector<std::string>& args) {
    double peakMb = 0, cpuMs = 0;
    for (auto _ : state) {
        rusage usage{};
        if (runChild(args, usage) != 0) {
            state.SkipWithError("the child did not show its window");
            break;
        }
        peakMb = std::max(peakMb, static_cast<double>(usage.ru_maxrss) / 1024.0);
        cpuMs += cpuMsOf(usage);
    }
    state.counters["peak_rss_mb"] = peakMb;
    // The child's own processor time: the fairer figure on a busy machine.
    state.counters["child_cpu_ms"] = benchmark::Counter(cpuMs, benchmark::Counter::kAvgIterations);
}

void BM_BareProgramShown(benchmark::State& state) { startPrograms(state, {"--show-bare"}); }
BENCHMARK(BM_BareProgramShown)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ShopProgramShown(benchmark::State& state) {
    startPrograms(state, {"--show-shop", shopFolder().dir()});
    state.counters["goods"] = kGoods;
}
BENCHMARK(BM_ShopProgramShown)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ShopProgramShownWith100000Codes(benchmark::State& state) {
    startPrograms(state, {"--show-shop", codesFolder().dir()});
    state.counters["goods"] = kGoods;
    state.counters["codes"] = 100000;
}
BENCHMARK(BM_ShopProgramShownWith100000Codes)->Unit(benchmark::kMillisecond)->UseRealTime();

// The two starts in turns, each iteration one of each: on a machine shared
// with other work the load drifts, and two starts measured minutes apart
// compare that drift as much as the programs. The ratio is the shop's
// processor time over the bare program's.
void BM_ShopOverBareInTurns(benchmark::State& state) {
    double bareMs = 0, shopMs = 0;
    for (auto _ : state) {
        rusage bare{}, shop{};
        if (runChild({"--show-bare"}, bare) != 0 ||
            runChild({"--show-shop", shopFolder().dir()}, shop) != 0) {
            state.SkipWithError("a child did not show its window");
            break;
        }
        bareMs += cpuMsOf(bare);
        shopMs += cpuMsOf(shop);
    }
    state.counters["bare_cpu_ms"] = benchmark::Counter(bareMs, benchmark::Counter::kAvgIterations);
    state.counters["shop_cpu_ms"] = benchmark::Counter(shopMs, benchmark::Counter::kAvgIterations);
    state.counters["cpu_ratio"] = bareMs > 0 ? shopMs / bareMs : 0;
}
BENCHMARK(BM_ShopOverBareInTurns)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

void BM_MainWindowShownWarm(benchmark::State& state) {
    shop::app::ScriptedPlatform platform;
    shop::app::setRunDirectory(shopFolder().dir());
    for (auto _ : state) {
        {
            shop::checkout::MainWindow window{shop::app::Navigation{}};
            window.show();
            QCoreApplication::processEvents();
            if (window.failedToStart()) state.SkipWithError("the main window did not start");
        }
        state.PauseTiming();
        shop::storage::closeAll();  // the next start opens the tables afresh
        state.ResumeTiming();
    }
}
BENCHMARK(BM_MainWindowShownWarm)->Unit(benchmark::kMillisecond);

// A start that finds the journal of a crashed run with 1,000 rows: they are
// appended to that run's sales table before the window is shown. Each
// iteration starts from a fresh run folder holding only that journal.
void BM_MainWindowShownRecovering1000Rows(benchmark::State& state) {
    constexpr int kRows = 1000;
    const std::string table = "销售数据2024年3月5日14时7分9秒.edb";
    std::vector<shop::checkout::SaleRow> rows;
    for (int i = 0; i < kRows; ++i)
        rows.push_back({"商品" + std::to_string(i), std::to_string(i % 50) + ".5元",
                        std::to_string(i % 9 + 1), "2024年3月5日14时8分0秒"});
    shop::app::ScriptedPlatform platform;
    for (auto _ : state) {
        state.PauseTiming();
        auto run = std::make_unique<shop::test::RunFolder>();
        shop::checkout::SaleJournal(shop::checkout::journalPath(run->dir(), table), table, 0)
            .update(rows);
        platform.clear();
        state.ResumeTiming();
        {
            shop::checkout::MainWindow window{shop::app::Navigation{}};
            window.show();
            QCoreApplication::processEvents();
            if (window.failedToStart()) state.SkipWithError("the main window did not start");
        }
        state.PauseTiming();
        shop::storage::closeAll();
        const auto stored = shop::test::readAll(
            shop::storage::joinPath(run->dir(), shop::storage::kSalesFolder, table));
        if (stored.size() != static_cast<std::size_t>(kRows) || platform.messages().size() != 1)
            state.SkipWithError("the journal was not recovered whole");
        run.reset();
        state.ResumeTiming();
    }
    state.counters["rows"] = kRows;
}
BENCHMARK(BM_MainWindowShownRecovering1000Rows)->Unit(benchmark::kMillisecond);

// The child roles: start, show the window, let it be drawn, end.
int showBare(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    window.setGeometry(50, 50, 899, 586);
    window.show();
    QCoreApplication::processEvents();
    // Shown: the clock stops here, not after the teardown.
    std::_Exit(window.isVisible() ? 0 : 1);
}

int showShop(int argc, char** argv, const std::string& runDir) {
    QApplication app(argc, argv);
    shop::app::useChinese(app);  // as the program's own start does
    shop::app::style::apply(app);
    shop::app::ScriptedPlatform platform;  // a failed start must not look like success
    shop::app::setRunDirectory(runDir);
    shop::checkout::MainWindow window{shop::app::Navigation{}};
    window.show();
    QCoreApplication::processEvents();
    const bool shown = !window.failedToStart() && window.isVisible();
    shop::storage::closeAll();  // as the real exit does
    std::_Exit(shown ? 0 : 1);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        qputenv("XDG_RUNTIME_DIR", "/tmp/runtime-shop-bench");
    if (argc >= 2 && std::strcmp(argv[1], "--show-bare") == 0) return showBare(argc, argv);
    if (argc >= 3 && std::strcmp(argv[1], "--show-shop") == 0) return showShop(argc, argv, argv[2]);
    g_self = std::filesystem::canonical("/proc/self/exe").string();
    QApplication app(argc, argv);
    shop::app::style::apply(app);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
