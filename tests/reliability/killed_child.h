// Runs a piece of work in a child process and kills it with SIGKILL at a
// chosen moment after the work began, as a power cut or a killed program would.
#pragma once

#include <chrono>
#include <functional>

namespace shop::test {

enum class ChildEnd {
    Killed,    // SIGKILL arrived before the work finished
    Finished,  // the work finished (its result in ChildRun::succeeded)
    Failed,    // the child could not be started or ended some other way
};

struct ChildRun {
    ChildEnd end = ChildEnd::Failed;
    bool succeeded = false;
    // From the start of the work to its end (or to the kill).
    std::chrono::microseconds elapsed{0};
};

// Forks; the child runs `work` (true = success) and exits. The parent waits
// until the child is about to start the work, waits `killAfter`, and sends
// SIGKILL (a negative `killAfter` never kills: the run measures the work).
ChildRun runChild(const std::function<bool()>& work, std::chrono::microseconds killAfter);

// Number of trials per kind: SHOP_CRASH_TRIALS, else `fallback`.
int crashTrials(int fallback);
// A count of trials from the environment variable `name`, else `fallback`.
int trialsFrom(const char* name, int fallback);
// The seed in the environment variable `name` (to repeat a run), else a
// fresh one.
unsigned seedFrom(const char* name);

}  // namespace shop::test
