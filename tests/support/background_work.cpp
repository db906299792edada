#include "background_work.h"

#include <QElapsedTimer>
#include <chrono>

#include "app/event_services.h"

namespace shop::test {

BackgroundWork::~BackgroundWork() {
    waitAll();
    for (std::thread& t : *m_threads)
        if (t.joinable()) t.detach();  // still running after the wait: let it end on its own
}

BackgroundWork::Executor BackgroundWork::executor() {
    return [running = m_running, threads = m_threads](std::function<void()> routine) {
        running->fetch_add(1);
        threads->emplace_back([running, routine = std::move(routine)] {
            routine();
            running->fetch_sub(1);
        });
    };
}

bool BackgroundWork::waitAll(int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (m_running->load() > 0) {
        if (clock.elapsed() > timeoutMs) return false;
        app::pumpMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    for (std::thread& t : *m_threads)
        if (t.joinable()) t.join();
    m_threads->clear();
    app::pumpMessages();  // the notices the work posted as it ended
    return true;
}

}  // namespace shop::test
