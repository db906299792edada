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
#include <cstring>
#include <string>

#include "failure.h"
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
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
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

Status systemFailure(const std::string& path, const char* doing) {
    return Status::error(errno == ENOENT ? Status::Code::NotFound : Status::Code::IoError, path,
                         std::string(doing) + ": " + std::strerror(errno));
}

// Removes the journal beside a table path, whatever kind of file it is.
bool removeJournalOf(const std::string& path) {
    const std::string journal = path + "-journal";
    if (::unlink(journal.c_str()) == 0 || errno == ENOENT) return true;
    return errno == EISDIR && ::rmdir(journal.c_str()) == 0;
}

// Builds the table in `temp`; failures are told under the table's own path.
Status buildTable(const std::string& temp, const std::string& path,
                  const std::vector<FieldDesc>& fields) {
    sqlite3* db = nullptr;
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOFOLLOW | SQLITE_OPEN_NOMUTEX;
    bool ok =
        sqlite3_open_v2(temp.c_str(), &db, flags, nullptr) == SQLITE_OK &&
        sqlite3_exec(db, "PRAGMA synchronous=EXTRA", nullptr, nullptr, nullptr) == SQLITE_OK &&
        format::writeSchema(db, fields);
    const Status status = ok ? Status() : detail::sqliteStatus(db, path, "cannot create");
    // Closing checks nothing is left pending.
    if (sqlite3_close(db) != SQLITE_OK && status.ok())
        return Status::error(Status::Code::IoError, path,
                             "cannot create: the new file did not close");
    return status;
}

}  // namespace

Status createTable(const std::string& path, const std::vector<FieldDesc>& fields) {
    if (!detail::acceptablePath(path))
        return detail::fail(Status::Code::Invalid, path, "path is not acceptable");
    if (!format::validFields(fields))
        return detail::fail(Status::Code::Invalid, path, "field list is not valid");
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0)
        return detail::fail(Status::Code::Exists, path, "the file exists");
    if (errno != ENOENT) return detail::fail(systemFailure(path, "cannot look at the file"));
    const std::string folder = folderOf(path);
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return detail::fail(Status::Code::NotFound, path, "no such folder");

    // Short and hidden, so a long table name still fits and no listing of
    // "*.edb" ever sees a table under construction.
    const std::string temp = folder + "/.edb-" + std::to_string(::getpid()) + "-" +
                             std::to_string(g_createSerial.fetch_add(1)) + ".tmp";
    const int fd = ::open(temp.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) return detail::fail(systemFailure(path, "cannot create"));
    ::close(fd);
    Status status = buildTable(temp, path, fields);
    // A journal under the new name belongs to a table that is gone (a writer
    // killed midway, then its table deleted): the first open would replay it
    // into the new file. No table of that name exists, so nothing owns it.
    if (status.ok() && !removeJournalOf(path))
        status = systemFailure(path, "cannot remove a stale journal");
    if (status.ok() && !moveNoReplace(temp, path))
        status = errno == EEXIST ? Status::error(Status::Code::Exists, path, "the file exists")
                                 : systemFailure(path, "cannot move into place");
    if (status.ok()) {
        syncFolder(folder);
        return status;
    }
    ::unlink(temp.c_str());
    ::unlink((temp + "-journal").c_str());
    return detail::fail(status);
}

bool create(const std::string& path, const std::vector<FieldDesc>& fields) {
    return createTable(path, fields).ok();
}

Status removeTable(const std::string& path) {
    if (!detail::acceptablePath(path))
        return detail::fail(Status::Code::Invalid, path, "path is not acceptable");
    // This thread's own connection must not outlive the file.
    close(path);
    // The journal first: a journal without its table is harmless, a table
    // whose journal stays behind after the table went is replayed into the
    // next table of that name.
    if (!removeJournalOf(path))
        return detail::fail(systemFailure(path, "cannot remove the journal"));
    if (::unlink(path.c_str()) != 0 && errno != ENOENT)
        return detail::fail(systemFailure(path, "cannot remove"));
    syncFolder(folderOf(path));
    return Status();
}

}  // namespace shop::storage
