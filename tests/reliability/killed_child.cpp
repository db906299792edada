#include "killed_child.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <random>
#include <thread>

namespace shop::test {

ChildRun runChild(const std::function<bool()>& work, std::chrono::microseconds killAfter) {
    using Clock = std::chrono::steady_clock;
    ChildRun run;
    int ready[2];
    if (pipe(ready) != 0) return run;
    const pid_t pid = fork();
    if (pid < 0) {
        ::close(ready[0]);
        ::close(ready[1]);
        return run;
    }
    if (pid == 0) {
        ::close(ready[0]);
        const char go = 1;
        if (write(ready[1], &go, 1) != 1) _exit(3);
        // _exit: the child must not run the parent's exit handlers or flush
        // its buffers; the work itself made everything durable it claims.
        _exit(work() ? 0 : 1);
    }
    ::close(ready[1]);
    char go = 0;
    const bool started = read(ready[0], &go, 1) == 1;
    const auto t0 = Clock::now();
    ::close(ready[0]);
    if (started && killAfter.count() >= 0) {
        std::this_thread::sleep_for(killAfter);
        kill(pid, SIGKILL);
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return run;
    }
    run.elapsed = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - t0);
    if (!started) return run;
    if (WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) {
        run.end = ChildEnd::Killed;
    } else if (WIFEXITED(status) && WEXITSTATUS(status) <= 1) {
        run.end = ChildEnd::Finished;
        run.succeeded = WEXITSTATUS(status) == 0;
    }
    return run;
}

int crashTrials(int fallback) { return trialsFrom("SHOP_CRASH_TRIALS", fallback); }

int trialsFrom(const char* name, int fallback) {
    const char* env = std::getenv(name);
    const int n = env ? std::atoi(env) : 0;
    return n > 0 ? n : fallback;
}

unsigned seedFrom(const char* name) {
    const char* env = std::getenv(name);
    return env ? static_cast<unsigned>(std::strtoul(env, nullptr, 10)) : std::random_device{}();
}

}  // namespace shop::test
