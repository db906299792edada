#include "table_read_all.h"

#include <sqlite3.h>

#include <algorithm>
#include <memory>

#include "direct_path_vfs.h"
#include "failure.h"
#include "table_connection.h"
#include "table_format.h"
#include "table_state.h"
#include "table_visit.h"

namespace shop::storage {

namespace {

using namespace detail;

struct Finalize {
    void operator()(sqlite3_stmt* st) const { sqlite3_finalize(st); }
};
using Statement = std::unique_ptr<sqlite3_stmt, Finalize>;

struct CloseDb {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using Database = std::unique_ptr<sqlite3, CloseDb>;

Statement prepare(sqlite3* db, const char* sql) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) != SQLITE_OK) {
        sqlite3_finalize(st);
        return nullptr;
    }
    return Statement(st);
}

// The value in column `col` as readText gives it: the stored bytes of a
// blob, otherwise the text (a number put there by another program reads as
// its text).
void storeValue(std::string& cell, sqlite3_stmt* st, int col) {
    const void* p = sqlite3_column_type(st, col) == SQLITE_BLOB
                        ? sqlite3_column_blob(st, col)
                        : static_cast<const void*>(sqlite3_column_text(st, col));
    const int n = sqlite3_column_bytes(st, col);
    if (p && n > 0) cell.assign(static_cast<const char*>(p), static_cast<std::size_t>(n));
}

// Reads every cell in one pass, in key order; SQLITE_DONE when it did. The
// values of fields past the width (photos, say) are never loaded: the key
// alone decides.
int scanCells(sqlite3* db, TableContents& out) {
    const Statement st = prepare(db,
                                 "SELECT id, value FROM cells WHERE id BETWEEN ?1 AND ?2 "
                                 "AND (id & ?3) BETWEEN 1 AND ?4 ORDER BY id");
    if (!st) return sqlite3_errcode(db);
    const auto width = static_cast<std::size_t>(out.width);
    sqlite3_bind_int64(st.get(), 1, format::cellId(1, 1));
    sqlite3_bind_int64(st.get(), 2,
                       format::cellId(static_cast<std::int64_t>(out.recordCount()), out.width));
    sqlite3_bind_int(st.get(), 3, (1 << format::kPositionBits) - 1);
    sqlite3_bind_int(st.get(), 4, out.width);
    int rc;
    while ((rc = sqlite3_step(st.get())) == SQLITE_ROW) {
        const std::int64_t id = sqlite3_column_int64(st.get(), 0);
        const std::size_t i = static_cast<std::size_t>(format::recordOf(id) - 1) * width +
                              static_cast<std::size_t>(format::positionOf(id) - 1);
        storeValue(out.cells[i], st.get(), 1);
    }
    return rc;
}

// A damaged page stopped the pass. The read loop of the open-table set
// reads around damage record by record, so the table is read again through
// it; the calling thread's current table and its cursor are put back.
void readAroundDamage(const std::string& path, TableContents& out) {
    const std::string current = currentPath();
    const int cursor = position();
    {
        TableVisit visit(path, true);
        // The open puts the cursor on record 1.
        if (visit.opened() && select(path)) {
            for (auto cell = out.cells.begin(); cell != out.cells.end(); skip(1))
                for (int pos = 1; pos <= out.width; ++pos) *cell++ = readText(pos);
        }
    }
    if (!current.empty() && select(current)) skip(cursor - position());
}

// Checks the open file as an open does and reads its fields and count, all
// inside the read transaction that BEGIN started.
Status validate(sqlite3* db, const std::string& path, TableContents& out, std::int64_t& records) {
    std::string problem;
    if (!format::checkSchema(db, &problem)) return validationFailure(db, path, problem);
    auto fields = format::readFields(db, &problem);
    if (!fields) return validationFailure(db, path, problem);
    if (format::checkNumbering(db, &problem, &records) != Status::Code::Ok)
        return validationFailure(db, path, problem);
    out.fields = std::move(*fields);
    return Status();
}

enum class Attempt { Done, HotJournal };

Attempt readOnce(const std::string& path, int firstFields, TableContents& out) {
    Status why;
    if (!format::checkHeader(path, &why)) {
        out.status = why;
        return Attempt::Done;
    }
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(path.c_str(), &raw,
                                   SQLITE_OPEN_READONLY | SQLITE_OPEN_NOFOLLOW |
                                       SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_PRIVATECACHE,
                                   directPathVfs());
    const Database db(raw);
    if (rc != SQLITE_OK || !raw) {
        out.status = sqliteStatus(raw, path, "cannot open");
        return Attempt::Done;
    }
    harden(raw);
    sqlite3_exec(raw, "PRAGMA cell_size_check=ON;BEGIN", nullptr, nullptr, nullptr);
    std::int64_t records = 0;
    out.status = validate(raw, path, out, records);
    if (!out.status.ok()) {
        out.fields.clear();
        // A read-only connection cannot roll back what a killed writer left.
        return sqlite3_extended_errcode(raw) == SQLITE_READONLY_ROLLBACK ? Attempt::HotJournal
                                                                         : Attempt::Done;
    }
    out.opened = true;
    out.width = std::clamp(firstFields, 1, static_cast<int>(out.fields.size()));
    out.cells.resize(static_cast<std::size_t>(records) * static_cast<std::size_t>(out.width));
    const bool whole = scanCells(raw, out) == SQLITE_DONE;
    if (!whole) out.status = sqliteStatus(raw, path, "cannot read");
    // Ends the read transaction; closing the connection would too.
    sqlite3_exec(raw, "COMMIT", nullptr, nullptr, nullptr);
    if (!whole) readAroundDamage(path, out);
    return Attempt::Done;
}

}  // namespace

TableContents readAllRecords(const std::string& path, int firstFields) {
    TableContents out;
    if (!acceptablePath(path)) {
        out.status = fail(Status::Code::Invalid, path, "path is not acceptable");
        return out;
    }
    if (readOnce(path, firstFields, out) == Attempt::HotJournal) {
        // Only a writer rolls a hot journal back; an open for writing does
        // that and checks the file as it goes. The file is then read afresh.
        (void)Connection::open(path, false, nullptr);
        out = TableContents();
        readOnce(path, firstFields, out);
    }
    if (!out.status.ok())
        fail(out.status);
    else
        noteSuccess();
    return out;
}

}  // namespace shop::storage
