// Recording a storage failure: it becomes the thread's lastStatus(), moves
// the watches on and goes to the failure log.
#pragma once

#include <string>

#include "status.h"

struct sqlite3;

namespace shop::storage::detail {

// Records the failure and hands it back.
Status fail(Status failure);
Status fail(Status::Code code, const std::string& path, std::string detail);
// The failure SQLite reported last on that connection, coded by its error
// code (busy, damaged, a system error), with `doing` before its message.
Status sqliteStatus(sqlite3* db, const std::string& path, const std::string& doing = {});
// The same, recorded.
Status failSqlite(sqlite3* db, const std::string& path, const std::string& doing = {});
// The code SQLite's error code stands for.
Status::Code codeOfSqlite(int sqliteCode);

// Forgets the failure logged last in this thread, so the same failure after
// a success is reported again.
void noteSuccess();

}  // namespace shop::storage::detail
