#include "table_state.h"

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>

#include "storage/table.h"

namespace shop::test {

namespace fs = std::filesystem;
using namespace shop::storage;

TableState tableState(const std::string& path) {
    TableState state;
    const std::string previous = currentPath();
    const bool wasOpen = select(path);
    if (!open(path, true)) {
        if (!previous.empty()) select(previous);
        return state;
    }
    state.opened = true;
    const int n = recordCount();
    const int nf = static_cast<int>(fields().size());
    for (int i = 0; i < n; ++i) {
        std::vector<std::string> row;
        for (int f = 1; f <= nf; ++f) {
            const auto v = readField(f);
            row.push_back(v ? v->data : std::string("<unreadable>"));
        }
        state.records.push_back(std::move(row));
        state.deleted.push_back(deletionMark());
        skip(1);
    }
    if (!wasOpen) close();
    if (!previous.empty()) select(previous);
    return state;
}

std::string soundnessProblem(const std::string& path) {
    const std::string own = checkIntegrity(path);
    if (!own.empty()) return "facility check: " + own;
    const int status = toolCheck(path);
    if (status != 0) return "table tool check failed (" + std::to_string(status) + ")";
    return {};
}

int toolCheck(const std::string& path) {
    const std::string command =
        std::string("'") + SHOP_TEST_TOOL + "' check '" + path + "' >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

std::vector<std::string> strayFiles(const std::string& folder) {
    std::vector<std::string> stray;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec))
        if (entry.path().extension() != ".edb") stray.push_back(entry.path().filename().string());
    return stray;
}

}  // namespace shop::test
