#include "journal_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "storage/file_replace.h"

namespace shop::checkout {

namespace fs = std::filesystem;

bool writeAll(int fd, std::string_view data) { return storage::writeAll(fd, data); }

bool syncFolderOf(const std::string& path) { return storage::syncFolderOf(path); }

int replaceFile(const std::string& path, std::string_view content) {
    return storage::replaceFileKeepingOpen(path, content);
}

bool removeFile(const std::string& path) {
    storage::removeReplacementLeftovers(path);
    // The one temporary name of earlier versions.
    ::unlink((path + ".tmp").c_str());
    if (::unlink(path.c_str()) != 0) return errno == ENOENT;
    return syncFolderOf(path);
}

std::optional<std::string> setAside(const std::string& path, std::string_view suffix) {
    for (int n = 0; n < 100; ++n) {
        const std::string aside =
            path + std::string(suffix) + (n == 0 ? std::string() : std::to_string(n));
        // A link replaces nothing: an earlier file set aside stays.
        if (::link(path.c_str(), aside.c_str()) != 0) {
            if (errno == EEXIST) continue;
            return std::nullopt;
        }
        if (::unlink(path.c_str()) != 0 || !syncFolderOf(path)) return std::nullopt;
        return aside;
    }
    return std::nullopt;
}

std::optional<std::string> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) return std::nullopt;
    return std::move(text).str();
}

}  // namespace shop::checkout
