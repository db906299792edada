// The file-system layer of the connections that only read whole tables.
//
// It is SQLite's own, except for one step: SQLite turns every path into a
// full one by looking at each folder on the way (a system call per folder,
// each walking the path again), for every file it opens. A query that opens
// thousands of tables deep in the run folder pays for that more than for
// reading them. Here an absolute path is taken as it is given. That is
// sound for a table that may not be a link itself (its folders may be: the
// journal beside it is the same file through either path).
#pragma once

namespace shop::storage::detail {

// Name of that layer for sqlite3_open_v2, made known to SQLite on first use.
const char* directPathVfs();

}  // namespace shop::storage::detail
