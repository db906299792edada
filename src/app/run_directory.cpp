#include "run_directory.h"

#include <QCoreApplication>
#include <mutex>

namespace shop::app {

namespace {
std::mutex g_mutex;
std::string g_override;
}  // namespace

std::string runDirectory() {
    {
        std::lock_guard lock(g_mutex);
        if (!g_override.empty()) return g_override;
    }
    return QCoreApplication::applicationDirPath().toStdString();
}

void setRunDirectory(const std::string& dir) {
    std::lock_guard lock(g_mutex);
    g_override = dir;
}

}  // namespace shop::app
