// The table facility: record-structured table files (".edb").
//
// Every thread has its own open-table set with one current table; every
// operation without a table name acts on the calling thread's current table.
// A background worker therefore never disturbs the tables of the user
// interface, and the user interface never closes a worker's table.
//
// On disk a table is one SQLite database in our own schema (see
// table_format.h). Each successful write is durable before it reports
// success; a Batch makes a run of writes all-or-nothing.
//
// Failures: an operation that fails records why (code, file, SQLite's or the
// system's message) as this thread's lastStatus() and reports it once to the
// failure log (status.h). Where a bare result cannot tell a failure from an
// answer (a record count of 0, an empty field), use the checked variants
// below or a StatusWatch around the reads.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "status.h"

namespace shop::storage {

enum class FieldType : int { Text = 1, Bytes = 2 };

struct FieldDesc {
    std::string name;
    FieldType type = FieldType::Text;
    // Text: most GBK (GB18030) bytes a value may take. Bytes: most raw bytes.
    int maxLength = 255;
};

// A stored value: UTF-8 text or raw bytes, with the type it was stored as.
struct Value {
    FieldType type = FieldType::Text;
    std::string data;

    static Value text(std::string s) { return {FieldType::Text, std::move(s)}; }
    static Value bytes(std::string b) { return {FieldType::Bytes, std::move(b)}; }
    bool isText() const { return type == FieldType::Text; }
    // Whatever the stored type, the bytes as text (callers convert to text).
    const std::string& toText() const { return data; }
};

// Sharing modes are accepted for every open; one process uses the files at a
// time, so the mode is recorded but not enforced.
constexpr int kShareDefault = 1;

// --- creating -------------------------------------------------------------

// Creates a new empty table file with exactly these fields. Never replaces or
// truncates an existing file: when the path exists, create fails and leaves
// the file untouched. Fails for a path with a "." or ".." component, a
// missing folder, or an empty field list. The table is not opened.
bool create(const std::string& path, const std::vector<FieldDesc>& fields);
// The same, saying why it failed (Exists when the path is taken).
Status createTable(const std::string& path, const std::vector<FieldDesc>& fields);

// Deletes a table file together with its journal, so that no journal of a
// deleted table is ever replayed into a new table of the same name. Closes
// the table first if this thread has it open by that path. Succeeds when
// the file is already gone.
Status removeTable(const std::string& path);

// --- the open-table set ------------------------------------------------------

// Opens the table: it joins this thread's open-table set and becomes current,
// cursor on record 1. Opening a path that is already open in this thread makes
// that table current and puts its cursor on record 1 again (no duplicate).
// Fails when the file is missing, is not a table of ours, or is damaged in
// its header, schema, field descriptions or record numbering (records 1..n).
// Damage that only a walk over the whole file finds (pages shared between
// tables, a looping free list) is found before the table's first write,
// which then fails: a damaged table never takes a write.
bool open(const std::string& path, bool readOnly = false, int shareMode = kShareDefault);
// The same, saying why it failed: NotFound, Damaged, Busy, IoError.
Status openTable(const std::string& path, bool readOnly = false, int shareMode = kShareDefault);

// Makes an open table current, found by base name (file name without folder
// and ".edb") or by the path text it was opened with. With several tables of
// one base name, the one opened last wins.
bool select(const std::string& nameOrPath);

// Base name of the current table's file; empty when no table is current.
std::string currentName();
// Path text of the current table; empty when no table is current.
std::string currentPath();

// Closes the current table. After it no table is current.
void close();
// Closes the open table with that base name or path (if any).
void close(const std::string& nameOrPath);
// Closes every table of this thread.
void closeAll();

// A table kept open for long (a whole run, a window's life) may lose its
// file meanwhile: deleted, or its folder taken away and made again empty.
// Writing on would go into a file no longer at its path, and fail there.
// Makes the open table with that base name or path current on the file now
// at its path: the file it opened (same device and inode) is simply kept;
// another table file with the same fields standing there is taken instead;
// with nothing there a new empty table of its fields is made (replacing
// nothing) and taken. Fails when the table is not open, a batch runs on it,
// or no table file can be had at the path; the table stays in the set.
bool reattach(const std::string& nameOrPath);
Status reattachTable(const std::string& nameOrPath);

// Number of tables open in this thread.
int openCount();
// Whether a table with that base name or path is open in this thread.
bool isOpen(const std::string& nameOrPath);

// --- the current table -------------------------------------------------------

// Number of records, deleted-marked ones included; 0 when no table is current
// and 0 when the count cannot be read (see countRecords).
int recordCount();
// Number of records; nullopt when no table is current or the file cannot be
// read (busy past the timeout, damaged, gone): "could not read", never 0.
std::optional<int> countRecords();
// Field descriptions of the current table (empty when none is current).
std::vector<FieldDesc> fields();
// 1-based number of the current record; may be past the last record.
int position();

// Moves the cursor n records forward (backward for negative n, never before 1).
void skip(int n);

// Adds an empty record at the end and makes it current.
bool appendBlank();

// Value of the field at a 1-based position in the current record. Empty when
// no table is current, the position is no field, the cursor stands past
// the last record, or the file cannot be read (which alone is recorded as a
// failure: watch for it with a StatusWatch). Reads only that field (a photo
// never loads with a name).
std::optional<Value> readField(int pos);
// Convenience: the field as text, or empty text where readField gives nothing.
std::string readText(int pos);

// Stores a value into a field of the current record. Fails (storing nothing)
// when no table is current, the table is read-only, the cursor is past the
// end, the position is no field, the type does not match the field, or the
// value does not fit the field's maximum length.
bool writeField(int pos, const Value& value);
bool writeText(int pos, const std::string& text);

// Removes every record; the fields stay.
bool zap();

// Moves forward from the current record (which is tested first) to the first
// record for which the condition holds; on success that record is current.
// On failure the cursor stands past the last record.
bool find(const std::function<bool()>& condition);

void markDeleted();
bool deletionMark();
// Removes every deletion-marked record; the others keep their order.
bool purge();

// --- batches -----------------------------------------------------------------

// All-or-nothing scope over the current table of this thread at construction:
// the writes inside count only when commit() succeeds. Destroying an
// uncommitted batch rolls every write back. Without a batch each write stands
// alone and is durable when it reports success.
class Batch {
public:
    Batch();
    ~Batch();
    Batch(const Batch&) = delete;
    Batch& operator=(const Batch&) = delete;

    bool active() const { return m_token != 0; }
    bool commit();
    void rollback();

private:
    std::uint64_t m_token = 0;
};

// --- inspection ----------------------------------------------------------------

// Full integrity check of a table file (format tag, schema, SQLite's own
// check, record numbering). Empty when sound, otherwise the first problem.
std::string checkIntegrity(const std::string& path);

}  // namespace shop::storage
