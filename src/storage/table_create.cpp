// Creating a table file: built under a hidden temporary name in the target
// folder and moved into place only when complete, without ever replacing a
// file that exists. A crash midway leaves no half table under the real name.
#include <fcntl.h>
#include <sqlite3.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <string>

#include "table.h"
#include "table_format.h"
#include "table_state.h"

namespace shop::storage {

namespace {

std::atomic<unsigned> g_createSerial{0};

std::string folderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Moves `from` to `to` unless `to` exists; atomic either way.
bool moveNoReplace(const std::string& from, const std::string& to) {
#ifdef RENAME_NOREPLACE
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return false;
#endif
    // Folders that cannot rename without replacing still refuse a link over
    // an existing name.
    if (::link(from.c_str(), to.c_str()) != 0) return false;
    ::unlink(from.c_str());
    return true;
}

void syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

bool buildTable(const std::string& path, const std::vector<FieldDesc>& fields) {
    sqlite3* db = nullptr;
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOFOLLOW | SQLITE_OPEN_NOMUTEX;
    bool ok = sqlite3_open_v2(path.c_str(), &db, flags, nullptr) == SQLITE_OK &&
              sqlite3_exec(db, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr) == SQLITE_OK &&
              format::writeSchema(db, fields);
    // Closing checks nothing is left pending.
    ok = sqlite3_close(db) == SQLITE_OK && ok;
    return ok;
}

}  // namespace

bool create(const std::string& path, const std::vector<FieldDesc>& fields) {
    if (!detail::acceptablePath(path) || !format::validFields(fields)) return false;
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 || errno != ENOENT) return false;
    const std::string folder = folderOf(path);
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;

    // Short and hidden, so a long table name still fits and no listing of
    // "*.edb" ever sees a table under construction.
    const std::string temp = folder + "/.edb-" + std::to_string(::getpid()) + "-" +
                             std::to_string(g_createSerial.fetch_add(1)) + ".tmp";
    const int fd = ::open(temp.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    ::close(fd);
    bool ok = buildTable(temp, fields) && moveNoReplace(temp, path);
    if (ok) {
        syncFolder(folder);
    } else {
        ::unlink(temp.c_str());
        ::unlink((temp + "-journal").c_str());
    }
    return ok;
}

}  // namespace shop::storage
