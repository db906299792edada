#include "backup_copy.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "sha256.h"
#include "table_connection.h"
#include "table_format.h"

namespace shop::storage::backup_detail {

namespace {

// How long a copy waits for a writer that holds the table, in total.
constexpr int kBusyWaitMilliseconds = 10000;
constexpr int kBusyStepMilliseconds = 5;

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

// Runs the online copy from one open connection into another to its end;
// SQLite's result code.
int runOnlineCopy(sqlite3* from, sqlite3* to) {
    sqlite3_backup* b = sqlite3_backup_init(to, "main", from, "main");
    if (!b) return sqlite3_errcode(to);
    int rc;
    int waited = 0;
    // All pages in one step: one read lock, so no writer can slip in between.
    while ((rc = sqlite3_backup_step(b, -1)) == SQLITE_BUSY || rc == SQLITE_LOCKED) {
        if (waited >= kBusyWaitMilliseconds) break;
        sqlite3_sleep(kBusyStepMilliseconds);
        waited += kBusyStepMilliseconds;
    }
    sqlite3_backup_finish(b);
    return rc;
}

}  // namespace

bool syncPath(const std::string& path, bool folder) {
    const int fd = ::open(path.c_str(), (folder ? O_RDONLY | O_DIRECTORY : O_RDWR) | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

TableCopy copyTable(const std::string& source, const std::string& dest, Copied* out, std::string* why) {
    std::string reason;
    // The same defensive open the program uses: a foreign or damaged file is
    // refused rather than copied into a backup that would later be trusted.
    auto opened = detail::Connection::open(source, true, &reason);
    if (!opened) {
        fail(why, source + ": " + reason);
        return TableCopy::SourceRefused;
    }
    auto failed = [why](const std::string& text) {
        fail(why, text);
        return TableCopy::Failed;
    };

    sqlite3* to = nullptr;
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOFOLLOW | SQLITE_OPEN_PRIVATECACHE;
    bool ok = sqlite3_open_v2(dest.c_str(), &to, flags, nullptr) == SQLITE_OK;
    // The copy lies in a folder nobody uses until it is finished, so it needs
    // no journal; one flush at the end makes it durable.
    ok = ok && sqlite3_exec(to, "PRAGMA journal_mode=OFF;PRAGMA synchronous=OFF", nullptr, nullptr, nullptr) ==
                   SQLITE_OK;
    if (!ok) reason = to ? sqlite3_errmsg(to) : "out of memory";
    const int rc = ok ? runOnlineCopy(opened->connection->db(), to) : SQLITE_ERROR;
    sqlite3_close_v2(to);
    opened.reset();
    if (rc == SQLITE_CORRUPT || rc == SQLITE_NOTADB) {
        fail(why, source + ": damaged: " + sqlite3_errstr(rc));
        return TableCopy::SourceRefused;
    }
    if (!ok) return failed(dest + ": " + reason);
    if (rc != SQLITE_DONE) return failed(dest + ": online copy stopped: " + sqlite3_errstr(rc));
    if (!format::checkHeader(dest, &reason)) return failed(dest + ": copy is not a table: " + reason);
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

}  // namespace shop::storage::backup_detail
