#include "file_replace.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <vector>

namespace shop::storage {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kTempMark = ".tmp-";
constexpr std::size_t kRandomLength = 6;  // the XXXXXX of mkostemp

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
    const int fd = ::open(folder.empty() ? "." : folder.c_str(),
                          O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

int replaceFileKeepingOpen(const std::string& path, std::string_view content) {
    // mkostemp creates with O_CREAT|O_EXCL under a random name and tries
    // another name while one is taken.
    std::string temporary = path + std::string(kTempMark) + std::string(kRandomLength, 'X');
    const int fd = ::mkostemp(temporary.data(), O_APPEND | O_CLOEXEC);
    if (fd < 0) return -1;
    const bool written = ::fchmod(fd, 0644) == 0 && writeAll(fd, content) && ::fdatasync(fd) == 0 &&
                         ::rename(temporary.c_str(), path.c_str()) == 0;
    if (!written) {
        const int err = errno;
        ::close(fd);
        ::unlink(temporary.c_str());
        errno = err;
        return -1;
    }
    // Renamed but not yet lasting: a power cut may still bring back the old
    // file, which is as good as this change not having happened. Going on
    // from a name that may not last would not be.
    if (!syncFolderOf(path)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool replaceFile(const std::string& path, std::string_view content) {
    const int fd = replaceFileKeepingOpen(path, content);
    if (fd < 0) return false;
    ::close(fd);  // the content is synced already
    return true;
}

void removeReplacementLeftovers(const std::string& path) {
    const fs::path target(path);
    const std::string prefix = target.filename().string() + std::string(kTempMark);
    std::vector<fs::path> left;
    std::error_code ec;
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() == prefix.size() + kRandomLength && name.starts_with(prefix))
            left.push_back(it->path());
    }
    // An unlink removes the name only, whatever it is a name of.
    for (const fs::path& p : left) ::unlink(p.c_str());
}

}  // namespace shop::storage
