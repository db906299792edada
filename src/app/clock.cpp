#include "clock.h"

#include <mutex>

namespace shop::app {

namespace {
std::mutex g_mutex;
std::function<storage::Moment()> g_clock;
}  // namespace

storage::Moment now() {
    {
        std::lock_guard lock(g_mutex);
        if (g_clock) return g_clock();
    }
    return storage::now();
}

void setClock(std::function<storage::Moment()> clock) {
    std::lock_guard lock(g_mutex);
    g_clock = std::move(clock);
}

}  // namespace shop::app
