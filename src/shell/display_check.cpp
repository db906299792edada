#include "display_check.h"

#include <cstdlib>
#include <cstring>
#include <iostream>

namespace shop::shell {

namespace {

bool isSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

}  // namespace

bool haveDisplay(int argc, char** argv) {
    if (isSet("DISPLAY") || isSet("WAYLAND_DISPLAY") || isSet("QT_QPA_PLATFORM")) return true;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0)
            return true;
    std::cerr << "chengyu_shop: 没有可用的显示器（未设置 DISPLAY 或 WAYLAND_DISPLAY）："
                 "请在图形桌面中运行；无显示器的机器上可用 xvfb-run 启动\n";
    return false;
}

}  // namespace shop::shell
