// Background work a test can wait for: an executor to give a window in place
// of the program's thread starter, and a wait that keeps the window's events
// running meanwhile (the work hands control access to the window's thread).
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

namespace shop::test {

class BackgroundWork {
public:
    using Executor = std::function<void(std::function<void()>)>;

    ~BackgroundWork();

    // Starts each routine on a thread of its own, as the program does.
    Executor executor();
    // Processes events until every routine started has ended, then delivers
    // what they posted; false when some still runs after `timeoutMs`.
    bool waitAll(int timeoutMs = 10000);

private:
    std::shared_ptr<std::atomic<int>> m_running = std::make_shared<std::atomic<int>>(0);
    std::shared_ptr<std::vector<std::thread>> m_threads =
        std::make_shared<std::vector<std::thread>>();
};

}  // namespace shop::test
