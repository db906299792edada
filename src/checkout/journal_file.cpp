#include "journal_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace shop::checkout {

namespace fs = std::filesystem;

namespace {
std::string temporaryOf(const std::string& path) { return path + ".tmp"; }
}  // namespace

bool writeAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool syncFolderOf(const std::string& path) {
    const std::string folder = fs::path(path).parent_path().string();
    const int fd =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

int replaceFile(const std::string& path, std::string_view content) {
    const std::string temporary = temporaryOf(path);
    const int fd =
        ::open(temporary.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return -1;
    if (!writeAll(fd, content) || ::fdatasync(fd) != 0 ||
        ::rename(temporary.c_str(), path.c_str()) != 0) {
        ::close(fd);
        ::unlink(temporary.c_str());
        return -1;
    }
    // Renamed but not yet lasting: a power cut may still bring back the old
    // file, which is as good as this change not having happened. Appending
    // to a file whose name may not last would not be.
    if (!syncFolderOf(path)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool removeFile(const std::string& path) {
    ::unlink(temporaryOf(path).c_str());
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
