#include "status.h"

#include <sqlite3.h>

#include <atomic>

#include "failure.h"

namespace shop::storage {

namespace {

std::atomic<FailureLog> g_log{nullptr};

struct ThreadFailures {
    Status last;
    std::uint64_t serial = 0;
    // The failure reported last, so a run of the same one is reported once.
    Status logged;
    bool loggedValid = false;
};

ThreadFailures& threadFailures() {
    thread_local ThreadFailures f;
    return f;
}

bool same(const Status& a, const Status& b) {
    return a.code() == b.code() && a.path() == b.path() && a.detail() == b.detail();
}

bool reported(Status::Code code) {
    return code != Status::Code::Invalid && code != Status::Code::NotFound;
}

}  // namespace

std::string Status::message() const {
    if (ok()) return "ok";
    return m_path.empty() ? m_detail : m_path + ": " + m_detail;
}

Status lastStatus() { return threadFailures().last; }

StatusWatch::StatusWatch() : m_serial(threadFailures().serial) {}

bool StatusWatch::failed() const { return threadFailures().serial != m_serial; }

Status StatusWatch::status() const { return failed() ? threadFailures().last : Status(); }

void setFailureLog(FailureLog log) { g_log.store(log, std::memory_order_release); }

namespace detail {

Status fail(Status failure) {
    if (failure.ok()) return failure;
    ThreadFailures& f = threadFailures();
    f.last = failure;
    ++f.serial;
    if (reported(failure.code()) && !(f.loggedValid && same(f.logged, failure))) {
        f.logged = failure;
        f.loggedValid = true;
        if (FailureLog log = g_log.load(std::memory_order_acquire)) log(failure);
    }
    return failure;
}

Status fail(Status::Code code, const std::string& path, std::string detail) {
    return fail(Status::error(code, path, std::move(detail)));
}

Status::Code codeOfSqlite(int sqliteCode) {
    switch (sqliteCode & 0xff) {
        case SQLITE_OK:
            return Status::Code::Ok;
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return Status::Code::Busy;
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
        case SQLITE_FORMAT:
        case SQLITE_SCHEMA:
        case SQLITE_MISMATCH:
            return Status::Code::Damaged;
        case SQLITE_TOOBIG:
        case SQLITE_CONSTRAINT:
        case SQLITE_RANGE:
        case SQLITE_MISUSE:
            return Status::Code::Invalid;
        default:
            return Status::Code::IoError;
    }
}

Status sqliteStatus(sqlite3* db, const std::string& path, const std::string& doing) {
    if (!db)
        return Status::error(Status::Code::IoError, path,
                             doing.empty() ? "out of memory" : doing + ": out of memory");
    const int rc = sqlite3_extended_errcode(db);
    Status::Code code = codeOfSqlite(rc);
    // An error that left no code (a statement that would not prepare under
    // our limits) still is a failure.
    if (code == Status::Code::Ok) code = Status::Code::Damaged;
    std::string detail = sqlite3_errmsg(db);
    return Status::error(code, path, doing.empty() ? detail : doing + ": " + detail);
}

Status failSqlite(sqlite3* db, const std::string& path, const std::string& doing) {
    return fail(sqliteStatus(db, path, doing));
}

void noteSuccess() { threadFailures().loggedValid = false; }

}  // namespace detail

}  // namespace shop::storage
