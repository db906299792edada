#include "table_connection.h"

#include <sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <map>
#include <mutex>
#include <string_view>
#include <thread>

#include "failure.h"

namespace shop::storage::detail {

namespace {

constexpr int kBusyMilliseconds = 2000;

const char* statementSql(Stmt which) {
    switch (which) {
        case Stmt::Count:
            return "SELECT max(rec) FROM records";
        // Large blobs (photos) are left out: only their size is looked at,
        // which SQLite answers without reading the blob's pages.
        case Stmt::BlockCells:
            return "SELECT id, value FROM cells WHERE id BETWEEN ?1 AND ?2 ORDER BY id";
        case Stmt::BlockSmall:
            return "SELECT id, CASE WHEN typeof(value) = 'blob' AND length(value) > ?3 "
                   "THEN NULL ELSE value END FROM cells WHERE id BETWEEN ?1 AND ?2 ORDER BY id";
        case Stmt::ReadCell:
            return "SELECT value FROM cells WHERE id = ?1";
        case Stmt::WriteCell:
            return "INSERT OR REPLACE INTO cells(id, value) SELECT ?1, ?2 "
                   "WHERE EXISTS (SELECT 1 FROM records WHERE rec = ?3)";
        // Records are numbered 1..n without gaps, so a record within the
        // count a transaction holds exists without asking the file.
        case Stmt::WriteKnown:
            return "INSERT OR REPLACE INTO cells(id, value) VALUES(?1, ?2)";
        // Numbered one after the last record (SQLite's choice of row id).
        case Stmt::Append:
            return "INSERT INTO records(deleted) VALUES(0)";
        case Stmt::Remove:
            return "DELETE FROM records WHERE rec = ?1";
        case Stmt::SetMark:
            return "UPDATE records SET deleted = 1 WHERE rec = ?1";
        case Stmt::ReadMark:
            return "SELECT deleted FROM records WHERE rec = ?1";
        case Stmt::Size_:
            break;
    }
    return nullptr;
}

// Another thread or program may hold the file. A writer that commits
// nonstop leaves it free only for moments between its commits, so the file
// is tried again often (SQLite's own timeout backs off to 100 ms between
// tries and can miss every such moment) until the busy timeout has passed.
int retryBusy(void*, int attempt) {
    thread_local std::chrono::steady_clock::time_point since;
    const auto now = std::chrono::steady_clock::now();
    if (attempt == 0) since = now;
    if (now - since >= std::chrono::milliseconds(kBusyMilliseconds)) return 0;
    std::this_thread::sleep_for(std::chrono::microseconds(attempt < 100 ? 100 : 1000));
    return 1;
}

void waitWhenBusy(sqlite3* db) { sqlite3_busy_handler(db, retryBusy, nullptr); }

}  // namespace

void harden(sqlite3* db) {
    sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_VIEW, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, 0, nullptr);
    sqlite3_limit(db, SQLITE_LIMIT_LENGTH, format::kMaxValueBytes + 1024);
    sqlite3_limit(db, SQLITE_LIMIT_SQL_LENGTH, 100000);
    sqlite3_limit(db, SQLITE_LIMIT_COLUMN, 100);
    sqlite3_limit(db, SQLITE_LIMIT_EXPR_DEPTH, 100);
    sqlite3_limit(db, SQLITE_LIMIT_COMPOUND_SELECT, 10);
    sqlite3_limit(db, SQLITE_LIMIT_VDBE_OP, 25000);
    sqlite3_limit(db, SQLITE_LIMIT_FUNCTION_ARG, 8);
    sqlite3_limit(db, SQLITE_LIMIT_ATTACHED, 0);
    sqlite3_limit(db, SQLITE_LIMIT_LIKE_PATTERN_LENGTH, 100);
    sqlite3_limit(db, SQLITE_LIMIT_VARIABLE_NUMBER, 16);
    sqlite3_limit(db, SQLITE_LIMIT_TRIGGER_DEPTH, 1);
    waitWhenBusy(db);
}

namespace {

// A writer killed before its journal got a valid header leaves a journal
// that SQLite does not need and does not remove. It would sit beside the
// table until the next write; remove it now, under the write lock, so no
// live writer of this or another process can own it.
void removeStaleJournal(Connection& c, const std::string& path) {
    const std::string journal = path + "-journal";
    if (::access(journal.c_str(), F_OK) != 0) return;
    // A writer at work right now owns its journal: do not wait for it.
    sqlite3_busy_timeout(c.db(), 0);
    if (c.exec("BEGIN IMMEDIATE")) {
        ::unlink(journal.c_str());
        c.exec("ROLLBACK");
    }
    waitWhenBusy(c.db());
}

}  // namespace

// SQLite's memory statistics put one process-wide lock around every
// allocation it makes, and threads reading tables side by side (the sales
// query) wait on each other for it. Nothing here reads those statistics.
// Set before SQLite starts up, which is why it runs at load time.
[[maybe_unused]] const bool g_noMemoryStatistics =
    sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0) == SQLITE_OK;

Status validationFailure(sqlite3* db, const std::string& path, std::string why) {
    Status::Code code = codeOfSqlite(sqlite3_errcode(db));
    if (code != Status::Code::Busy && code != Status::Code::IoError) code = Status::Code::Damaged;
    return Status::error(code, path, std::move(why));
}

namespace {

// Files whose record numbering was found sound, as they were then: the check
// counts the records, which a table of 100,000 records makes too slow for
// every open of the same unchanged file. A file written or replaced since
// (another change counter, size or time of change) is checked again.
class SoundNumbering {
public:
    bool known(const format::HeaderInfo& file) {
        std::lock_guard lock(m_mutex);
        const auto it = m_files.find({file.device, file.inode});
        return it != m_files.end() && it->second.sameState(file);
    }
    void remember(const format::HeaderInfo& file) {
        std::lock_guard lock(m_mutex);
        if (m_files.size() >= kMaxFiles) m_files.clear();
        m_files[{file.device, file.inode}] = file;
    }

private:
    static constexpr std::size_t kMaxFiles = 4096;
    std::mutex m_mutex;
    std::map<std::pair<std::uint64_t, std::uint64_t>, format::HeaderInfo> m_files;
};

SoundNumbering& soundNumbering() {
    static SoundNumbering s;
    return s;
}

// Checks the numbering unless this very state of the file was found sound.
Status checkNumbering(sqlite3* db, const std::string& path, const format::HeaderInfo& file) {
    if (soundNumbering().known(file)) return Status();
    std::string problem;
    if (format::checkNumbering(db, &problem) != Status::Code::Ok)
        return validationFailure(db, path, problem);
    // Remembered only when nothing changed the file between the header read
    // and the check.
    if (const auto now = format::fileStateOf(path); now && now->sameState(file))
        soundNumbering().remember(file);
    return Status();
}

}  // namespace

std::optional<Connection::Opened> Connection::openOnce(const std::string& path, bool readOnly,
                                                       Status* why) {
    const auto header = format::checkHeader(path, why);
    if (!header) return std::nullopt;
    // A crash in the middle of a write leaves a journal that only a writer
    // can roll back; do that first so a read-only open sees the sound file.
    if (readOnly && ::access((path + "-journal").c_str(), F_OK) == 0)
        (void)openOnce(path, false, nullptr);

    sqlite3* raw = nullptr;
    const int flags = (readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) |
                      SQLITE_OPEN_NOFOLLOW | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_PRIVATECACHE;
    const int rc = sqlite3_open_v2(path.c_str(), &raw, flags, nullptr);
    std::unique_ptr<Connection> c(new Connection(raw));
    const auto failed = [&](Status status) {
        if (why) *why = std::move(status);
        return std::nullopt;
    };
    if (rc != SQLITE_OK || raw == nullptr) return failed(sqliteStatus(raw, path, "cannot open"));
    harden(raw);
    // Exactly one file at rest: a rollback journal that is deleted after each
    // transaction, never a write-ahead log; durable when a write returns.
    // EXTRA also syncs the folder once the journal is deleted: without it a
    // power cut just after a commit can bring the journal back, and the next
    // open would roll back a write that had reported success.
    if (!c->exec("PRAGMA cell_size_check=ON;PRAGMA mmap_size=0;PRAGMA temp_store=MEMORY;"
                 "PRAGMA synchronous=EXTRA;PRAGMA journal_mode=DELETE"))
        return failed(sqliteStatus(raw, path, "cannot set up"));
    std::string problem;
    if (!format::checkSchema(raw, &problem)) return failed(validationFailure(raw, path, problem));
    auto fields = format::readFields(raw, &problem);
    if (!fields) return failed(validationFailure(raw, path, problem));
    if (Status numbering = checkNumbering(raw, path, *header); !numbering.ok())
        return failed(std::move(numbering));
    if (!readOnly) removeStaleJournal(*c, path);
    return Opened{std::move(c), std::move(*fields), *header};
}

std::optional<Connection::Opened> Connection::open(const std::string& path, bool readOnly,
                                                   Status* why) {
    // Every step above waits for a busy file up to the busy timeout, but a
    // writer at work nonstop can still take the file between two steps; the
    // whole open is tried again until the timeout has passed.
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kBusyMilliseconds);
    Status status;
    for (;;) {
        auto opened = openOnce(path, readOnly, &status);
        if (opened || status.code() != Status::Code::Busy ||
            std::chrono::steady_clock::now() >= deadline) {
            if (!opened && why) *why = status;
            return opened;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

Connection::~Connection() {
    for (sqlite3_stmt* st : m_statements) sqlite3_finalize(st);
    // Closing rolls back whatever transaction is still open.
    sqlite3_close_v2(m_db);
}

sqlite3_stmt* Connection::statement(Stmt which) {
    sqlite3_stmt*& st = m_statements[static_cast<std::size_t>(which)];
    if (!st && sqlite3_prepare_v3(m_db, statementSql(which), -1, SQLITE_PREPARE_PERSISTENT, &st,
                                  nullptr) != SQLITE_OK) {
        sqlite3_finalize(st);
        st = nullptr;
    }
    return st;
}

Status Connection::checkBeforeFirstWrite(const std::string& path) {
    if (m_writeVerdict) return *m_writeVerdict;
    sqlite3_stmt* st = nullptr;
    Status status;
    if (sqlite3_prepare_v2(m_db, "PRAGMA quick_check(1)", -1, &st, nullptr) != SQLITE_OK ||
        sqlite3_step(st) != SQLITE_ROW) {
        status = sqliteStatus(m_db, path, "cannot check before writing");
    } else if (const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
               !text || std::string_view(text) != "ok") {
        status =
            Status::error(Status::Code::Damaged, path,
                          std::string("damaged, not written: ") + (text ? text : "no verdict"));
    }
    sqlite3_finalize(st);
    // A busy file is checked again at the next write; a verdict stands.
    if (status.code() != Status::Code::Busy) m_writeVerdict = status;
    return status;
}

bool Connection::exec(const char* sql) {
    return sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

bool Connection::inTransaction() const { return sqlite3_get_autocommit(m_db) == 0; }

StatementUse::~StatementUse() {
    if (m_st) {
        sqlite3_reset(m_st);
        sqlite3_clear_bindings(m_st);
    }
}

ChangeScope::ChangeScope(Connection& c) : m_c(c) {
    m_nested = c.inTransaction();
    m_started = c.exec(m_nested ? "SAVEPOINT change" : "BEGIN IMMEDIATE");
}

ChangeScope::~ChangeScope() {
    if (!m_started) return;
    if (m_nested) {
        m_c.exec("ROLLBACK TO change");
        m_c.exec("RELEASE change");
    } else {
        m_c.exec("ROLLBACK");
    }
}

bool ChangeScope::commit() {
    if (!m_started) return false;
    // An error inside may already have ended the transaction.
    if (!m_c.inTransaction()) {
        m_started = false;
        return false;
    }
    if (!m_c.exec(m_nested ? "RELEASE change" : "COMMIT")) return false;
    m_started = false;
    return true;
}

}  // namespace shop::storage::detail
