// The on-disk form of a table file: one SQLite database in our own schema.
//
//   fields(pos, name, type, maxlen)  the field descriptions, positions 1..n
//   records(rec, deleted)            one row per record; rec is the 1-based
//                                    record number and is kept dense
//   cells(id, value)                 one row per written field, keyed by
//                                    id = record * 256 + position, so reading
//                                    a name never loads a photo: the key is
//                                    the row id, and looking a row id up never
//                                    reads another row's value (a composite
//                                    key would, when a photo lies on the way)
//
// The database header carries our application id and format version, so a
// foreign SQLite file is refused before any of its schema is trusted.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "status.h"
#include "table.h"

struct sqlite3;

namespace shop::storage::format {

inline constexpr std::int32_t kApplicationId = 0x43594442;  // "CYDB"
inline constexpr std::int32_t kFormatVersion = 1;

// Sane bounds for what a file may declare; anything beyond is refused.
inline constexpr int kMaxFields = 255;
inline constexpr int kMaxFieldNameBytes = 255;
// Largest value a field may hold (a photo is below half a megabyte).
inline constexpr int kMaxValueBytes = 2 * 1024 * 1024;
// Largest record number the facility addresses.
inline constexpr std::int64_t kMaxRecords = 0x7ffffffe;

inline constexpr const char* kFieldsSql =
    "CREATE TABLE fields(pos INTEGER PRIMARY KEY, name TEXT NOT NULL, "
    "type INTEGER NOT NULL, maxlen INTEGER NOT NULL)";
inline constexpr const char* kRecordsSql =
    "CREATE TABLE records(rec INTEGER PRIMARY KEY, deleted INTEGER NOT NULL DEFAULT 0)";
inline constexpr const char* kCellsSql = "CREATE TABLE cells(id INTEGER PRIMARY KEY, value)";

// Key of a cell: record number and field position in one row id.
inline constexpr int kPositionBits = 8;
static_assert(kMaxFields < (1 << kPositionBits));
inline constexpr std::int64_t cellId(std::int64_t record, int position) {
    return (record << kPositionBits) | position;
}
inline constexpr std::int64_t recordOf(std::int64_t id) { return id >> kPositionBits; }
inline constexpr int positionOf(std::int64_t id) {
    return static_cast<int>(id & ((1 << kPositionBits) - 1));
}

// Whether a field list may be stored (1..kMaxFields fields, known types,
// lengths within bounds, names valid UTF-8 of bounded length).
bool validFields(const std::vector<FieldDesc>& fields);

// Writes the schema, the tags and the field descriptions into an empty
// database, in one transaction.
bool writeSchema(sqlite3* db, const std::vector<FieldDesc>& fields);

// What the first bytes of a file say about it.
struct HeaderInfo {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    // What tells this state of the file from any other: SQLite's change
    // counter (moved on by every commit), the size and the time of change.
    std::uint32_t changeCounter = 0;
    std::int64_t size = 0;
    std::int64_t changedNs = 0;

    bool sameState(const HeaderInfo& o) const {
        return device == o.device && inode == o.inode && changeCounter == o.changeCounter &&
               size == o.size && changedNs == o.changedNs;
    }
};

// The state of the file as HeaderInfo tells it, read again without checks.
std::optional<HeaderInfo> fileStateOf(const std::string& path);

// Reads the database header of the file without SQLite: a regular file (not
// a link, not a folder) whose header is SQLite's, in rollback-journal mode,
// with our tags, and not shorter than the header says; a journal beside it,
// if any, is a regular file too (SQLite would block opening anything else).
// Fails fast (one system call) for a missing file.
std::optional<HeaderInfo> checkHeader(const std::string& path, Status* why);

// Checks that the schema holds exactly our three tables with exactly our
// definitions and that the tags match.
bool checkSchema(sqlite3* db, std::string* why);

// Checks that the records are numbered 1..n without gaps, as every reader
// relies on (a record count is the last record's number). Ok, with the
// count in `count` if given, or Damaged with `why` set (the caller tells a
// busy file by SQLite's error code).
Status::Code checkNumbering(sqlite3* db, std::string* why, std::int64_t* count = nullptr);

// Reads and validates the field descriptions.
std::optional<std::vector<FieldDesc>> readFields(sqlite3* db, std::string* why);

}  // namespace shop::storage::format
