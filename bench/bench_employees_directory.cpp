// The employee directory with 500 employees, each holding a photo of about
// 400 KB: opening the directory (tree filled), choosing an employee, and the
// peak memory of a process that does both.
//
// The table is written by a child process, so the peak memory reported is
// that of the directory alone, not of building its data.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QLabel>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <filesystem>
#include <optional>
#include <string>

#include "app/run_directory.h"
#include "employees/directory_window.h"
#include "storage/data_paths.h"
#include "storage/schemas.h"
#include "storage/table.h"
#include "support/qt_bench.h"

namespace {

namespace st = shop::storage;
constexpr int kEmployees = 500;
constexpr int kSide = 365;  // 365 x 365 pixels, 24 bits: 400,094 bytes

void put32(std::string& out, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<char>((v >> (8 * i)) & 0xff);
}

// An uncompressed 24-bit picture file in one colour.
std::string bmp(int side, unsigned char shade) {
    const std::size_t row = (static_cast<std::size_t>(side) * 3 + 3) & ~std::size_t(3);
    const std::size_t size = 54 + row * static_cast<std::size_t>(side);
    std::string out(size, '\0');
    out[0] = 'B';
    out[1] = 'M';
    put32(out, 2, static_cast<std::uint32_t>(size));
    put32(out, 10, 54);
    put32(out, 14, 40);
    put32(out, 18, static_cast<std::uint32_t>(side));
    put32(out, 22, static_cast<std::uint32_t>(side));
    out[26] = 1;
    out[28] = 24;
    for (std::size_t i = 54; i < size; ++i) out[i] = static_cast<char>(shade + i % 3 * 40);
    return out;
}

// Writes the employees into a fresh employee table (in a child process).
void writeEmployees(const st::DataPaths& paths) {
    st::open(paths.employee());
    st::Batch batch;
    for (int i = 0; i < kEmployees; ++i) {
        st::appendBlank();
        st::writeField(1, st::Value::bytes(bmp(kSide, static_cast<unsigned char>(i))));
        for (int position = 2; position <= 19; ++position)
            st::writeText(position, "员工" + std::to_string(i) + "项" + std::to_string(position));
    }
    batch.commit();
    st::close();
}

QTreeWidgetItem* child(shop::employees::DirectoryWindow& w, int k) {
    return w.findChild<QTreeWidget*>("树型框1")->topLevelItem(0)->child(k);
}

void BM_OpenDirectory(benchmark::State& state) {
    std::optional<shop::employees::DirectoryWindow> w;
    for (auto _ : state) {
        w.emplace();
        state.PauseTiming();  // destroying the window is not part of opening it
        if (w->findChild<QTreeWidget*>("树型框1")->topLevelItem(0)->childCount() != kEmployees)
            state.SkipWithError("the tree does not list every employee");
        w.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenDirectory)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ChooseEmployee(benchmark::State& state) {
    shop::employees::DirectoryWindow w;
    QTreeWidget* tree = w.findChild<QTreeWidget*>("树型框1");
    int k = 0;
    for (auto _ : state) {
        k = (k + 137) % kEmployees;  // a different employee every time
        tree->setCurrentItem(child(w, k));
    }
    if (w.findChild<QLabel*>("图片框_头像")->pixmap().isNull())
        state.SkipWithError("no photo shown");
    if (w.findChild<QLabel*>("透明标签_员工姓名")->text() != child(w, k)->text(0))
        state.SkipWithError("the details show another employee");
}
BENCHMARK(BM_ChooseEmployee)->Unit(benchmark::kMillisecond)->UseRealTime();

// Opens the directory and looks at every employee once; reports the
// process's peak resident memory.
void BM_DirectoryPeakMemory(benchmark::State& state) {
    for (auto _ : state) {
        shop::employees::DirectoryWindow w;
        QTreeWidget* tree = w.findChild<QTreeWidget*>("树型框1");
        for (int k = 0; k < kEmployees; ++k) tree->setCurrentItem(child(w, k));
    }
    state.counters["peak_MB"] = shop::bench::peakRssMb();
}
BENCHMARK(BM_DirectoryPeakMemory)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    QTemporaryDir folder;
    const st::DataPaths paths{folder.path().toStdString()};
    std::filesystem::create_directories(std::filesystem::path(paths.employee()).parent_path());
    std::filesystem::create_directories(paths.leaveFolder());
    std::filesystem::create_directories(paths.salaryFolder());
    if (!st::create(paths.employee(), st::schemas::employee())) return 1;
    const pid_t writer = fork();
    if (writer == 0) {
        writeEmployees(paths);
        _exit(0);
    }
    int status = 0;
    waitpid(writer, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return 1;

    shop::app::setRunDirectory(paths.runDir);
    return shop::bench::runQtBenchmarks(argc, argv);
}
