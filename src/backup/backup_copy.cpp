#include "backup_copy.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <optional>

#include "storage/sha256.h"
#include "storage/table_connection.h"
#include "storage/table_format.h"

namespace shop::backup::detail {

using namespace storage;

namespace {

// How long a copy waits for a writer that holds the table, in total.
constexpr auto kBusyWait = std::chrono::seconds(10);

bool fail(std::string* why, const std::string& text) {
    if (why) *why = text;
    return false;
}

std::string sysError(const std::string& path) { return path + ": " + std::strerror(errno); }

bool writeAll(int fd, const char* p, std::size_t n) {
    while (n > 0) {
        const ssize_t w = ::write(fd, p, n);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return false;
        p += w;
        n -= static_cast<std::size_t>(w);
    }
    return true;
}

// A writer that commits nonstop leaves a reader only short gaps between its
// commits; SQLite's own busy wait backs off too far to meet them. Poll in
// small steps instead, up to the deadline.
int pollWhileBusy(void* deadline, int) {
    if (std::chrono::steady_clock::now() >=
        *static_cast<std::chrono::steady_clock::time_point*>(deadline))
        return 0;
    ::usleep(200);
    return 1;
}

bool exec(sqlite3* db, const char* sql) {
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

std::optional<std::int64_t> pragmaInt(sqlite3* db, const char* sql) {
    sqlite3_stmt* st = nullptr;
    std::optional<std::int64_t> out;
    if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) == SQLITE_OK &&
        sqlite3_step(st) == SQLITE_ROW)
        out = sqlite3_column_int64(st, 0);
    sqlite3_finalize(st);
    return out;
}

// Copies every page of `from` into `to` inside one read transaction, so the
// copy holds whole transactions only. The tags are read in that transaction
// (these pragmas read the header, not the schema): a file that is not ours
// is never copied. SQLite's result code.
int onlineCopy(sqlite3* from, sqlite3* to, std::string* why) {
    if (!exec(from, "BEGIN")) return sqlite3_errcode(from);
    const auto version = pragmaInt(from, "PRAGMA user_version");
    const auto tag = pragmaInt(from, "PRAGMA application_id");
    int rc = SQLITE_OK;
    if (!version || !tag) {
        rc = sqlite3_errcode(from);
        if (rc == SQLITE_OK) rc = SQLITE_ERROR;
    } else if (*version != format::kFormatVersion || *tag != format::kApplicationId) {
        rc = SQLITE_NOTADB;
        *why = "not a table of this shop";
    } else if (sqlite3_backup* b = sqlite3_backup_init(to, "main", from, "main")) {
        rc = sqlite3_backup_step(b, -1);
        sqlite3_backup_finish(b);
    } else {
        rc = sqlite3_errcode(to);
    }
    exec(from, "COMMIT");
    return rc;
}

sqlite3* openRaw(const std::string& path, int flags) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, flags | SQLITE_OPEN_NOFOLLOW | SQLITE_OPEN_PRIVATECACHE,
                        nullptr) != SQLITE_OK) {
        sqlite3_close_v2(db);
        return nullptr;
    }
    sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_VIEW, 0, nullptr);
    return db;
}

}  // namespace

bool syncPath(const std::string& path, bool folder) {
    const int fd =
        ::open(path.c_str(), (folder ? O_RDONLY | O_DIRECTORY : O_RDWR) | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

TableCopy copyTable(const std::string& source, const std::string& dest, Copied* out,
                    std::string* why) {
    auto refused = [why, &source](const std::string& text) {
        fail(why, source + ": " + text);
        return TableCopy::SourceRefused;
    };
    auto failed = [why](const std::string& text) {
        fail(why, text);
        return TableCopy::Failed;
    };
    Status status;
    if (!format::checkHeader(source, &status)) return refused(status.detail());
    std::string reason;

    // Read-write, so that a journal a crash left is rolled back before the
    // pages are read; nothing else is written through this connection.
    sqlite3* from = openRaw(source, SQLITE_OPEN_READWRITE);
    if (!from) return refused("cannot open");
    auto deadline = std::chrono::steady_clock::now() + kBusyWait;
    sqlite3_busy_handler(from, pollWhileBusy, &deadline);
    sqlite3* to = openRaw(dest, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    // The copy lies in a folder nobody uses until it is finished, so it needs
    // no journal; one flush at the end makes it durable.
    int rc = to && exec(to, "PRAGMA journal_mode=OFF;PRAGMA synchronous=OFF")
                 ? onlineCopy(from, to, &reason)
                 : SQLITE_CANTOPEN;
    if (rc != SQLITE_DONE && reason.empty()) reason = sqlite3_errstr(rc);
    sqlite3_close_v2(to);
    sqlite3_close_v2(from);
    if (rc == SQLITE_CORRUPT || rc == SQLITE_NOTADB) return refused(reason);
    if (rc != SQLITE_DONE) return failed(dest + ": online copy stopped: " + reason);
    // The copy, not the busy original, gets the full defensive open: schema
    // and field descriptions. A backup never holds a table the program
    // would refuse.
    if (!storage::detail::Connection::open(dest, true, &status))
        return refused("damaged: " + status.detail());
    if (!syncPath(dest, false)) return failed(sysError(dest));
    auto digest = sha256File(dest, &reason);
    if (!digest) return failed(reason);
    out->sha256 = std::move(*digest);
    struct stat st {};
    if (::stat(dest.c_str(), &st) != 0) return failed(sysError(dest));
    out->size = static_cast<std::uint64_t>(st.st_size);
    return TableCopy::Done;
}

bool copyFile(const std::string& source, const std::string& dest, Copied* out, std::string* why) {
    const int in = ::open(source.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (in < 0) return fail(why, sysError(source));
    const int to = ::open(dest.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (to < 0) {
        const std::string text = sysError(dest);
        ::close(in);
        return fail(why, text);
    }
    Sha256 sha;
    std::uint64_t size = 0;
    char buf[1 << 16];
    ssize_t n;
    bool ok = true;
    while (ok && (n = ::read(in, buf, sizeof buf)) != 0) {
        if (n < 0 && errno == EINTR) continue;
        ok = n > 0 && writeAll(to, buf, static_cast<std::size_t>(n));
        if (!ok) {
            fail(why, sysError(n < 0 ? source : dest));
            break;
        }
        sha.update(buf, static_cast<std::size_t>(n));
        size += static_cast<std::uint64_t>(n);
    }
    if (ok && ::fsync(to) != 0) ok = fail(why, sysError(dest));
    ::close(in);
    if (::close(to) != 0 && ok) ok = fail(why, sysError(dest));
    if (!ok) return false;
    out->size = size;
    out->sha256 = Sha256::hex(sha.finish());
    return true;
}

}  // namespace shop::backup::detail
