// Opening the leave window over a large staff: 500 employees, each with a
// photo of about 400 KB. The name list reads only the names, so the photos
// must not weigh on opening; choosing an employee reads one photo.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QListWidget>
#include <memory>

#include "leave/leave_window.h"
#include "leave/staff_fixture.h"
#include "support/qt_bench.h"
#include "support/run_folder.h"

namespace {

constexpr int kStaff = 500;

struct LargeStaff {
    LargeStaff() {
        // 370 x 370 at 24 bits a pixel: about 401 KB of picture file.
        const std::string photo = shop::test::pictureBytes(370, 370, QColor(200, 150, 90));
        std::vector<shop::test::Staff> staff;
        for (int i = 0; i < kStaff; ++i)
            staff.push_back({std::to_string(1000 + i), "员工" + std::to_string(i), photo});
        shop::test::addStaff(run.paths().employee(), staff);
        photoBytes = photo.size();
    }
    shop::test::RunFolder run;
    std::size_t photoBytes = 0;
};

LargeStaff& largeStaff() {
    static LargeStaff staff;
    return staff;
}

void BM_OpenLeaveWindow(benchmark::State& state) {
    LargeStaff& staff = largeStaff();
    for (auto _ : state) {
        shop::leave::LeaveWindow window;
        benchmark::DoNotOptimize(
            window.findChild<QListWidget*>(QStringLiteral("列表框_员工姓名"))->count());
    }
    state.counters["photo_kb"] = static_cast<double>(staff.photoBytes) / 1024.0;
}
BENCHMARK(BM_OpenLeaveWindow)->Unit(benchmark::kMillisecond);

void BM_ChooseEmployee(benchmark::State& state) {
    largeStaff();
    shop::leave::LeaveWindow window;
    auto* names = window.findChild<QListWidget*>(QStringLiteral("列表框_员工姓名"));
    int row = 0;
    for (auto _ : state) {
        row = (row + 137) % kStaff;  // jump about, as a user would
        names->setCurrentRow(row);
    }
}
BENCHMARK(BM_ChooseEmployee)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return shop::bench::runQtBenchmarks(argc, argv); }
