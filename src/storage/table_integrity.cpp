// Full check of a table file, for the table tool and after a crash.
#include <sqlite3.h>

#include <string>

#include "table.h"
#include "table_connection.h"
#include "table_state.h"
#include "text.h"

namespace shop::storage {

namespace {

using detail::Connection;

std::string columnText(sqlite3_stmt* st, int col) {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st, col));
    return p ? std::string(p, static_cast<std::size_t>(sqlite3_column_bytes(st, col)))
             : std::string();
}

std::string errorOf(sqlite3* db) {
    return std::string("cannot read the file: ") + sqlite3_errmsg(db);
}

// SQLite's own check of pages, records and keys.
std::string sqliteCheck(sqlite3* db) {
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db, "PRAGMA integrity_check(1)", -1, &raw, nullptr) != SQLITE_OK)
        return errorOf(db);
    std::string out;
    if (sqlite3_step(raw) == SQLITE_ROW) {
        out = columnText(raw, 0);
        if (out == "ok") out.clear();
    } else {
        out = errorOf(db);
    }
    sqlite3_finalize(raw);
    return out;
}

// Record numbers 1..n without gaps, and no value outside a record or field.
std::string numberingCheck(sqlite3* db, int fieldCount) {
    sqlite3_stmt* st = nullptr;
    const char* sql =
        "SELECT (SELECT count(*) FROM records), (SELECT coalesce(min(rec), 1) FROM records), "
        "(SELECT coalesce(max(rec), 0) FROM records), "
        "(SELECT count(*) FROM cells WHERE (id & 255) < 1 OR (id & 255) > ?1 "
        "OR (id >> 8) NOT IN (SELECT rec FROM records))";
    if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) != SQLITE_OK) return errorOf(db);
    sqlite3_bind_int(st, 1, fieldCount);
    std::string out;
    if (sqlite3_step(st) != SQLITE_ROW) {
        out = errorOf(db);
    } else if (sqlite3_column_int64(st, 0) != sqlite3_column_int64(st, 2) ||
               (sqlite3_column_int64(st, 0) > 0 && sqlite3_column_int64(st, 1) != 1)) {
        out = "record numbers are not 1.." + std::to_string(sqlite3_column_int64(st, 0));
    } else if (sqlite3_column_int64(st, 3) != 0) {
        out = std::to_string(sqlite3_column_int64(st, 3)) +
              " values lie outside the records or fields";
    }
    sqlite3_finalize(st);
    return out;
}

// Every value has its field's type and fits its field's maximum length.
std::string valueCheck(sqlite3* db, const std::vector<FieldDesc>& fields) {
    sqlite3_stmt* st = nullptr;
    const char* sql =
        "SELECT id >> 8, id & 255, typeof(value), CASE WHEN typeof(value) = 'text' THEN value END, "
        "CASE WHEN typeof(value) = 'blob' THEN length(value) END FROM cells";
    if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) != SQLITE_OK) return errorOf(db);
    std::string out;
    int rc = SQLITE_DONE;
    while (out.empty() && (rc = sqlite3_step(st)) == SQLITE_ROW) {
        const auto pos = sqlite3_column_int64(st, 1);
        if (pos < 1 || pos > static_cast<sqlite3_int64>(fields.size())) continue;
        const FieldDesc& f = fields[static_cast<std::size_t>(pos - 1)];
        const std::string kind = columnText(st, 2);
        const std::string where = "record " + std::to_string(sqlite3_column_int64(st, 0)) +
                                  " field " + std::to_string(pos) + ": ";
        if (kind == "null") continue;
        if (kind == "text" && f.type == FieldType::Text) {
            const auto length = gbkLength(columnText(st, 3));
            if (!length)
                out = where + "text is not valid";
            else if (*length > static_cast<std::size_t>(f.maxLength))
                out = where + "text longer than the field";
        } else if (kind == "blob" && f.type == FieldType::Bytes) {
            if (sqlite3_column_int64(st, 4) > f.maxLength)
                out = where + "bytes longer than the field";
        } else {
            out = where + kind + " value in a " + (f.type == FieldType::Text ? "text" : "byte") +
                  " field";
        }
    }
    if (out.empty() && rc != SQLITE_DONE) out = errorOf(db);
    sqlite3_finalize(st);
    return out;
}

}  // namespace

std::string checkIntegrity(const std::string& path) {
    if (!detail::acceptablePath(path)) return "path is not acceptable";
    Status why;
    // Read-write, so that a journal left by a crash is rolled back first.
    auto opened = Connection::open(path, false, &why);
    if (!opened) return why.detail().empty() ? "cannot open the table" : why.detail();
    sqlite3* db = opened->connection->db();
    std::string problem = sqliteCheck(db);
    if (problem.empty()) problem = numberingCheck(db, static_cast<int>(opened->fields.size()));
    if (problem.empty()) problem = valueCheck(db, opened->fields);
    return problem;
}

}  // namespace shop::storage
