// The record operations on the current table of the calling thread.
#include <sqlite3.h>

#include <algorithm>
#include <climits>

#include "failure.h"
#include "table.h"
#include "table_state.h"
#include "text.h"

namespace shop::storage {

namespace detail {

namespace {

// Blobs up to this size are read with their block; larger ones (photos) only
// when their own field is read.
constexpr int kInlineBlobBytes = 1024;
// A block stops growing past this many value bytes, so a hostile file full
// of long texts cannot make one read hold much memory.
constexpr std::size_t kBlockBytes = std::size_t{1} << 20;
constexpr int kFirstBlock = 16;
constexpr int kLargestBlock = 256;

std::string columnBytes(sqlite3_stmt* st, int col) {
    const void* p = sqlite3_column_blob(st, col);
    const int n = sqlite3_column_bytes(st, col);
    return p && n > 0 ? std::string(static_cast<const char*>(p), static_cast<std::size_t>(n))
                      : std::string();
}

// Fills the block with records [rec, ...] of a table with `count` records;
// SQLITE_DONE when it did, else SQLite's error code.
int fillBlock(OpenTable& t, Connection& c, int rec, int size) {
    RecordBlock& b = c.block;
    const int nf = static_cast<int>(t.fields.size());
    const int last =
        static_cast<int>(std::min<long long>(static_cast<long long>(rec) + size - 1, b.count));
    b.first = rec;
    b.last = last;
    b.fieldCount = nf;
    b.kinds.assign(static_cast<std::size_t>(last - rec + 1) * nf, RecordBlock::Cell::Absent);
    b.values.assign(b.kinds.size(), std::string());
    // Only tables with byte fields need the query that skips photos; text
    // fields hold short texts (a crafted file's long values are capped below).
    const bool photos = std::any_of(t.fields.begin(), t.fields.end(),
                                    [](const FieldDesc& f) { return f.type == FieldType::Bytes; });
    StatementUse st(c.statement(photos ? Stmt::BlockSmall : Stmt::BlockCells));
    if (!st) return SQLITE_ERROR;
    sqlite3_bind_int64(st.get(), 1, format::cellId(rec, 0));
    sqlite3_bind_int64(st.get(), 2, format::cellId(last, nf));
    if (photos) sqlite3_bind_int(st.get(), 3, kInlineBlobBytes);
    std::size_t bytes = 0;
    int rc;
    while ((rc = sqlite3_step(st.get())) == SQLITE_ROW) {
        const sqlite3_int64 id = sqlite3_column_int64(st.get(), 0);
        const int r = static_cast<int>(format::recordOf(id)), pos = format::positionOf(id);
        if (r < rec || r > last || pos < 1 || pos > nf) continue;
        if (bytes > kBlockBytes && r > rec) {
            b.last = r - 1;
            return SQLITE_DONE;
        }
        const std::size_t i = static_cast<std::size_t>(r - rec) * nf + (pos - 1);
        constexpr int kValue = 1;
        // Past the byte budget within the first record, values are read
        // one by one when asked for.
        const int type = bytes > kBlockBytes ? SQLITE_NULL : sqlite3_column_type(st.get(), kValue);
        switch (type) {
            case SQLITE_NULL:  // a photo, read only when asked for
                b.kinds[i] = RecordBlock::Cell::Large;
                break;
            case SQLITE_BLOB:
                b.kinds[i] = RecordBlock::Cell::Bytes;
                b.values[i] = columnBytes(st.get(), kValue);
                break;
            default: {
                // Text; a number put there by another program reads as its text.
                b.kinds[i] = RecordBlock::Cell::Text;
                const auto* p =
                    reinterpret_cast<const char*>(sqlite3_column_text(st.get(), kValue));
                if (p)
                    b.values[i].assign(
                        p, static_cast<std::size_t>(sqlite3_column_bytes(st.get(), kValue)));
            }
        }
        bytes += b.values[i].size();
    }
    return rc;
}

// Makes the block hold record `rec`, or know that `rec` lies past the end.
bool loadBlock(OpenTable& t, Connection& c, int rec) {
    RecordBlock& b = c.block;
    const auto count = countRecords(t, c);
    if (!count) return false;
    if (rec > b.count || (b.first != 0 && rec >= b.first && rec <= b.last)) return true;
    // A read loop moves on to the next block: let blocks grow while it does.
    const int previous = b.first != 0 ? b.last - b.first + 1 : 0;
    const int size =
        b.first != 0 && rec == b.last + 1 ? std::min(previous * 2, kLargestBlock) : kFirstBlock;
    const int rc = fillBlock(t, c, rec, std::max(size, kFirstBlock));
    if (rc == SQLITE_DONE) return true;
    if (codeOfSqlite(rc) == Status::Code::Busy) {
        // Reading field by field would only wait for the busy file again.
        b.clear();
        failSqlite(c.db(), t.path, "cannot read");
        return false;
    }
    // The run holds something the block query cannot carry (a value over the
    // size limit, a damaged page): read this record field by field, so every
    // other field still reads.
    b.first = b.last = rec;
    b.fieldCount = static_cast<int>(t.fields.size());
    b.kinds.assign(t.fields.size(), RecordBlock::Cell::Large);
    b.values.assign(t.fields.size(), std::string());
    return true;
}

std::optional<Value> readLarge(const OpenTable& t, Connection& c, int rec, int pos,
                               const FieldDesc& field) {
    StatementUse st(c.statement(Stmt::ReadCell));
    if (!st) {
        failSqlite(c.db(), t.path, "cannot read");
        return std::nullopt;
    }
    sqlite3_bind_int64(st.get(), 1, format::cellId(rec, pos));
    const int rc = sqlite3_step(st.get());
    if (rc == SQLITE_DONE) return Value{field.type, std::string()};  // never written
    if (rc != SQLITE_ROW) {
        failSqlite(c.db(), t.path, "cannot read");
        return std::nullopt;
    }
    switch (sqlite3_column_type(st.get(), 0)) {
        case SQLITE_BLOB:
            return Value::bytes(columnBytes(st.get(), 0));
        case SQLITE_NULL:
            return Value{field.type, std::string()};
        default:
            break;
    }
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st.get(), 0));
    std::string text =
        p ? std::string(p, static_cast<std::size_t>(sqlite3_column_bytes(st.get(), 0))) : "";
    return isValidUtf8(text) ? Value::text(std::move(text)) : Value::bytes(std::move(text));
}

bool fits(const FieldDesc& field, const Value& value) {
    if (value.type != field.type) return false;
    if (value.type == FieldType::Bytes)
        return value.data.size() <= static_cast<std::size_t>(field.maxLength);
    if (!isValidUtf8(value.data)) return false;
    // A character takes at most four bytes in GB18030 and ASCII takes one:
    // when even that bound fits, the exact count is not needed.
    std::size_t bound = 0;
    for (unsigned char ch : value.data) bound += ch < 0x80 ? 1 : (ch & 0xC0) != 0x80 ? 4 : 0;
    if (bound <= static_cast<std::size_t>(field.maxLength)) return true;
    const auto length = gbkLength(value.data);
    return length && *length <= static_cast<std::size_t>(field.maxLength);
}

// The current table and its connection, for an operation that writes.
Connection* writable(OpenTable* t) {
    if (!t) {
        fail(Status::Code::Invalid, {}, "no table is current");
        return nullptr;
    }
    if (t->readOnly) {
        fail(Status::Code::Invalid, t->path, "the table is open read-only");
        return nullptr;
    }
    Connection* c = connect(*t);
    if (!c) return nullptr;
    if (const Status sound = c->checkBeforeFirstWrite(t->path); !sound.ok()) {
        fail(sound);
        return nullptr;
    }
    // A batch whose transaction an error ended takes no further writes.
    if (t->batchToken != 0 && !c->inTransaction()) {
        fail(Status::Code::Invalid, t->path, "the batch on this table has failed");
        return nullptr;
    }
    return c;
}

// Whether record `rec` exists by what this connection's own transaction
// knows, without a query: inside a transaction only its own writes move the
// file, and they keep the count (see change()).
bool knownRecord(const OpenTable& t, const Connection& c, int rec) {
    return c.inTransaction() && c.block.count >= 0 && c.block.version == t.version() && rec >= 1 &&
           rec <= c.block.count;
}

// Runs a statement that changes the file; true when it changed `expected` rows
// (any number when expected is negative). `added` records were appended by
// it, for the count this connection keeps while its transaction runs.
bool change(OpenTable& t, Connection& c, sqlite3_stmt* st, int expected = -1, int added = 0) {
    if (!st) {
        failSqlite(c.db(), t.path, "cannot write");
        return false;
    }
    const int rc = sqlite3_step(st);
    const std::uint64_t before = t.changed();
    RecordBlock& b = c.block;
    if (rc == SQLITE_DONE && b.count >= 0 && b.version == before && c.inTransaction())
        b.keepCount(before + 1, b.count + added);
    if (rc != SQLITE_DONE) {
        failSqlite(c.db(), t.path, "cannot write");
        return false;
    }
    if (expected >= 0 && sqlite3_changes(c.db()) != expected) {
        fail(Status::Code::Invalid, t.path, "no such record");
        return false;
    }
    return true;
}

// Runs a change of several statements as one; false (recorded) when it fails.
bool changeAll(OpenTable& t, Connection& c, const char* sql) {
    ChangeScope scope(c);
    const bool ok = scope.started() && c.exec(sql) && scope.commit();
    if (!ok) failSqlite(c.db(), t.path, "cannot write");
    t.changed();
    return ok;
}

}  // namespace

std::optional<int> countRecords(OpenTable& t, Connection& c) {
    RecordBlock& b = c.block;
    const std::uint64_t version = t.version();
    if (b.count >= 0 && b.version == version) return b.count;
    b.clear();
    StatementUse st(c.statement(Stmt::Count));
    if (!st || sqlite3_step(st.get()) != SQLITE_ROW) {
        failSqlite(c.db(), t.path, "cannot count the records");
        return std::nullopt;
    }
    const sqlite3_int64 n = sqlite3_column_int64(st.get(), 0);
    if (n < 0 || n > format::kMaxRecords) {
        fail(Status::Code::Damaged, t.path, "record numbers out of range");
        return std::nullopt;
    }
    b.version = version;
    b.count = static_cast<int>(n);
    return b.count;
}

}  // namespace detail

using namespace detail;

std::optional<int> countRecords() {
    OpenTable* t = threadTables().current;
    if (!t) {
        fail(Status::Code::Invalid, {}, "no table is current");
        return std::nullopt;
    }
    Connection* c = connect(*t);
    if (!c) return std::nullopt;
    return countRecords(*t, *c);
}

int recordCount() {
    if (!threadTables().current) return 0;
    return countRecords().value_or(0);
}

int position() {
    const OpenTable* t = threadTables().current;
    return t ? t->cursor : 0;
}

void skip(int n) {
    OpenTable* t = threadTables().current;
    if (!t) return;
    const long long to = static_cast<long long>(t->cursor) + n;
    t->cursor = static_cast<int>(std::clamp<long long>(to, 1, INT_MAX));
}

bool appendBlank() {
    OpenTable* t = threadTables().current;
    Connection* c = writable(t);
    if (!c) return false;
    StatementUse st(c->statement(Stmt::Append));
    const std::uint64_t before = t->version();
    if (!change(*t, *c, st.get(), 1, 1)) return false;
    const sqlite3_int64 rec = sqlite3_last_insert_rowid(c->db());
    RecordBlock& b = c->block;
    // The first append of a transaction learns the count: the new record is
    // numbered one past the last, as the count query would have found.
    if (c->inTransaction() && b.count < 0 && t->version() == before + 1 && rec >= 1 &&
        rec <= format::kMaxRecords)
        b.keepCount(before + 1, static_cast<int>(rec));
    if (b.count >= 0 && b.count != rec) b.clear();
    if (rec < 1 || rec > format::kMaxRecords) {
        // Only a crafted file numbers its records this far: no cursor could
        // reach the new record, so it is taken back.
        b.clear();
        StatementUse remove(c->statement(Stmt::Remove));
        if (remove) {
            sqlite3_bind_int64(remove.get(), 1, rec);
            change(*t, *c, remove.get());
        }
        fail(Status::Code::Damaged, t->path, "record numbers out of range");
        return false;
    }
    t->cursor = static_cast<int>(rec);
    return true;
}

std::optional<Value> readField(int pos) {
    OpenTable* t = threadTables().current;
    if (!t || pos < 1 || pos > static_cast<int>(t->fields.size())) return std::nullopt;
    Connection* c = connect(*t);
    if (!c || !loadBlock(*t, *c, t->cursor)) return std::nullopt;
    const RecordBlock& b = c->block;
    if (t->cursor > b.count) return std::nullopt;
    const std::size_t i = static_cast<std::size_t>(t->cursor - b.first) * b.fieldCount + (pos - 1);
    switch (b.kinds[i]) {
        case RecordBlock::Cell::Absent:
            return Value{t->fields[pos - 1].type, std::string()};
        // Text that is not UTF-8 came from elsewhere: say it is bytes rather than pass it off as
        // text.
        case RecordBlock::Cell::Text:
            return isValidUtf8(b.values[i]) ? Value::text(b.values[i]) : Value::bytes(b.values[i]);
        case RecordBlock::Cell::Bytes:
            return Value::bytes(b.values[i]);
        case RecordBlock::Cell::Large:
            return readLarge(*t, *c, t->cursor, pos, t->fields[pos - 1]);
    }
    return std::nullopt;
}

std::string readText(int pos) {
    auto v = readField(pos);
    return v ? std::move(v->data) : std::string();
}

bool writeField(int pos, const Value& value) {
    OpenTable* t = threadTables().current;
    if (!t || pos < 1 || pos > static_cast<int>(t->fields.size()) ||
        !fits(t->fields[pos - 1], value)) {
        fail(Status::Code::Invalid, t ? t->path : std::string(),
             "no such field, or the value does not fit it");
        return false;
    }
    Connection* c = writable(t);
    if (!c) return false;
    const bool known = knownRecord(*t, *c, t->cursor);
    StatementUse st(c->statement(known ? Stmt::WriteKnown : Stmt::WriteCell));
    sqlite3_bind_int64(st.get(), 1, format::cellId(t->cursor, pos));
    if (!known) sqlite3_bind_int(st.get(), 3, t->cursor);
    const int size = static_cast<int>(value.data.size());
    if (value.type == FieldType::Text)
        sqlite3_bind_text(st.get(), 2, value.data.c_str(), size, SQLITE_STATIC);
    else if (size == 0)
        sqlite3_bind_zeroblob(st.get(), 2, 0);
    else
        sqlite3_bind_blob(st.get(), 2, value.data.data(), size, SQLITE_STATIC);
    return change(*t, *c, st.get(), 1);
}

bool writeText(int pos, const std::string& text) { return writeField(pos, Value::text(text)); }

bool zap() {
    OpenTable* t = threadTables().current;
    Connection* c = writable(t);
    if (!c) return false;
    const bool ok = changeAll(*t, *c, "DELETE FROM cells;DELETE FROM records");
    if (ok) t->cursor = 1;
    return ok;
}

bool find(const std::function<bool()>& condition) {
    OpenTable* t = threadTables().current;
    if (!t || !condition) return false;
    const std::uint64_t id = t->id;
    for (;;) {
        Connection* c = connect(*t);
        const auto count = c ? countRecords(*t, *c) : std::nullopt;
        if (!count) return false;
        if (t->cursor > *count) return false;
        const bool hit = condition();
        // The condition may have switched or closed tables; then stop.
        const OpenTable* now = threadTables().current;
        if (!now || now->id != id) return false;
        if (hit) return true;
        ++t->cursor;
    }
}

void markDeleted() {
    OpenTable* t = threadTables().current;
    Connection* c = writable(t);
    if (!c) return;
    StatementUse st(c->statement(Stmt::SetMark));
    if (st) sqlite3_bind_int(st.get(), 1, t->cursor);
    change(*t, *c, st.get());
}

bool deletionMark() {
    OpenTable* t = threadTables().current;
    Connection* c = t ? connect(*t) : nullptr;
    if (!c) return false;
    StatementUse st(c->statement(Stmt::ReadMark));
    if (st) sqlite3_bind_int(st.get(), 1, t->cursor);
    const int rc = st ? sqlite3_step(st.get()) : SQLITE_ERROR;
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) failSqlite(c->db(), t->path, "cannot read");
    return rc == SQLITE_ROW && sqlite3_column_int64(st.get(), 0) != 0;
}

bool purge() {
    OpenTable* t = threadTables().current;
    Connection* c = writable(t);
    if (!c) return false;
    static_assert(format::kPositionBits == 8, "the statements below spell the cell key out");
    // Record numbers stay dense: the survivors are renumbered in order, via
    // negative numbers so no two records ever share a number midway.
    static const char* const kPurge =
        "DELETE FROM cells WHERE (id >> 8) IN (SELECT rec FROM records WHERE deleted <> 0);"
        "DELETE FROM records WHERE deleted <> 0;"
        "UPDATE cells SET id = -((m.n << 8) | (cells.id & 255)) FROM (SELECT rec AS old, "
        "row_number() OVER (ORDER BY rec) AS n FROM records) AS m WHERE (cells.id >> 8) = m.old;"
        "UPDATE cells SET id = -id WHERE id < 0;"
        "UPDATE records SET rec = -m.n FROM (SELECT rec AS old, row_number() OVER (ORDER BY rec) "
        "AS n "
        "FROM records) AS m WHERE records.rec = m.old;"
        "UPDATE records SET rec = -rec WHERE rec < 0;";
    return changeAll(*t, *c, kPurge);
}

}  // namespace shop::storage
