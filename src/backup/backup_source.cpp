#include "backup_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "storage/data_paths.h"

namespace shop::backup::detail {

using namespace storage;
namespace fs = std::filesystem;

std::vector<std::string> filesToBackUp(const std::string& runDir) {
    std::vector<std::string> out;
    for (const char* folder : kTableFolders) {
        std::vector<std::string> names;
        std::error_code ec;
        for (fs::directory_iterator it(joinPath(runDir, folder), ec), end; !ec && it != end;
             it.increment(ec)) {
            const std::string name = it->path().filename().string();
            if (name.size() > 4 && name.ends_with(".edb") && it->is_regular_file(ec) &&
                !it->is_symlink(ec))
                names.push_back(name);
        }
        std::sort(names.begin(), names.end());
        for (const auto& n : names) out.push_back(std::string(folder) + "/" + n);
    }
    const std::string settings = std::string(kSettingsFolder) + "/fghh.ini";
    std::error_code ec;
    if (fs::is_regular_file(fs::symlink_status(joinPath(runDir, settings), ec)))
        out.push_back(settings);
    return out;
}

std::string fileStamp(const std::string& path, bool table) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return {};
    struct stat st {};
    unsigned char counter[4] = {};
    bool ok = ::fstat(fd, &st) == 0;
    // The file change counter sits at byte 24 of a table's header.
    if (ok && table)
        ok = ::pread(fd, counter, sizeof counter, 24) == static_cast<ssize_t>(sizeof counter);
    ::close(fd);
    if (!ok) return {};
    const unsigned long long change = (static_cast<unsigned long long>(counter[0]) << 24) |
                                      (counter[1] << 16) | (counter[2] << 8) | counter[3];
    const auto mtimeNs = static_cast<unsigned long long>(st.st_mtim.tv_sec) * 1000000000ULL +
                         static_cast<unsigned long long>(st.st_mtim.tv_nsec);
    return std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino) + ":" +
           std::to_string(st.st_size) + ":" + std::to_string(mtimeNs) + ":" +
           std::to_string(change);
}

}  // namespace shop::backup::detail
