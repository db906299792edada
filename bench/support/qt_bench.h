// What every window benchmark program shares: an offscreen application to run
// the benchmarks in, and the peak memory figure.
#pragma once

namespace shop::bench {

// Runs the registered benchmarks inside a QApplication on the offscreen
// platform; the program's exit code.
int runQtBenchmarks(int argc, char** argv);

// Peak resident memory of this process so far, in megabytes.
double peakRssMb();
// Resident memory of this process now, in megabytes.
double currentRssMb();

}  // namespace shop::bench
