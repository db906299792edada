// One SQLite connection to a table file, opened the way an untrusted file
// must be opened, with the statements the facility runs on it.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "status.h"
#include "table.h"
#include "table_format.h"

struct sqlite3;
struct sqlite3_stmt;

namespace shop::storage::detail {

enum class Stmt {
    Count,       // number of records
    BlockCells,  // values of a run of records (tables of text fields)
    BlockSmall,  // the same, leaving out large blobs (tables with photos)
    ReadCell,    // one value
    WriteCell,   // store one value into an existing record
    WriteKnown,  // the same, into a record this transaction knows exists
    Append,      // add a blank record
    Remove,      // take back a record appended beyond the limit
    SetMark,     // mark a record deleted
    ReadMark,    // deletion mark of a record
    Size_
};

// A run of consecutive records whose small values were read in one query, so
// a read loop costs one query per run instead of one per field. It stays
// valid while the file's change counter (shared by every thread of this
// process) does not move; a change made by another program while the table
// stays open is seen when the table is opened again.
struct RecordBlock {
    enum class Cell : std::uint8_t { Absent, Text, Bytes, Large };
    std::uint64_t version = 0;  // file change counter the block was read at
    int first = 0;              // first record of the run; 0 = nothing cached
    int last = -1;              // last record of the run
    int count = -1;             // record count at that version
    int fieldCount = 0;
    std::vector<Cell> kinds;  // (rec - first) * fieldCount + (pos - 1)
    std::vector<std::string> values;

    // After a change this connection made inside its own transaction: no
    // other connection can have written the file meanwhile, so the count
    // (as given) holds at the new version; the values read before may not.
    void keepCount(std::uint64_t at, int records) {
        version = at;
        count = records;
        first = 0;
        last = -1;
    }
    void clear() {
        first = 0;
        last = -1;
        count = -1;
        kinds.clear();
        values.clear();
    }
};

class Connection {
public:
    struct Opened;
    // Opens and validates the file: header, tags, schema, field descriptions.
    // On failure `why` (if given) says why; nothing is recorded.
    static std::optional<Opened> open(const std::string& path, bool readOnly, Status* why);

    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    sqlite3* db() const { return m_db; }
    // The statement, prepared once per connection; nullptr when it cannot be.
    sqlite3_stmt* statement(Stmt which);
    bool exec(const char* sql);
    // Inside an explicit transaction (a batch or a multi-statement change).
    bool inTransaction() const;

    // Damage that leaves a file readable (pages shared by two b-trees, a
    // looping free list) is found by a full walk of the file, too slow for
    // every open of a read; it is done before this connection's first write,
    // so a damaged table never takes a write that could lose its records.
    // Ok, or the failure (not recorded).
    Status checkBeforeFirstWrite(const std::string& path);

    // A connection that carries a batch must never be closed by eviction.
    bool pinned = false;
    RecordBlock block;

private:
    explicit Connection(sqlite3* db) : m_db(db) {}
    static std::optional<Opened> openOnce(const std::string& path, bool readOnly, Status* why);
    sqlite3* m_db;
    // The verdict of the check before the first write, once there is one.
    std::optional<Status> m_writeVerdict;
    std::array<sqlite3_stmt*, static_cast<std::size_t>(Stmt::Size_)> m_statements{};
};

struct Connection::Opened {
    std::unique_ptr<Connection> connection;
    std::vector<FieldDesc> fields;
    format::HeaderInfo file;
};

// Hardening for files that may come from anywhere, for every connection to a
// table file: no triggers, views or untrusted schema functions, no attaching
// other files, bounded sizes; a busy file is waited for up to the busy
// timeout.
void harden(sqlite3* db);

// A check of the schema or the fields that failed: a busy or unreadable file
// keeps SQLite's word for it, anything else is a damaged table.
Status validationFailure(sqlite3* db, const std::string& path, std::string why);

// Resets a statement and clears its bindings on leaving scope, so no
// statement holds a read lock on the file between two calls.
class StatementUse {
public:
    explicit StatementUse(sqlite3_stmt* st) : m_st(st) {}
    ~StatementUse();
    StatementUse(const StatementUse&) = delete;
    StatementUse& operator=(const StatementUse&) = delete;
    sqlite3_stmt* get() const { return m_st; }
    explicit operator bool() const { return m_st != nullptr; }

private:
    sqlite3_stmt* m_st;
};

// A change of several statements that stands or falls as one: its own
// transaction outside a batch, a savepoint inside one.
class ChangeScope {
public:
    explicit ChangeScope(Connection& c);
    ~ChangeScope();
    ChangeScope(const ChangeScope&) = delete;
    ChangeScope& operator=(const ChangeScope&) = delete;
    bool started() const { return m_started; }
    bool commit();

private:
    Connection& m_c;
    bool m_nested = false;
    bool m_started = false;
};

}  // namespace shop::storage::detail
