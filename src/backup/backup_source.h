// What a backup of a run folder takes: every table of the five data folders
// and the settings file, and how to tell that a file has not changed since
// the last backup.
#pragma once

#include <string>
#include <vector>

namespace shop::backup::detail {

// Paths relative to the run folder ("员工数据库/员工基本数据库.edb"), tables
// first in folder order and name order, then the settings file if present.
// Only regular files; journals, links and anything else are left out.
std::vector<std::string> filesToBackUp(const std::string& runDir);

// Device, inode, size, modification time and, for a table, the change
// counter of its header, which every committed write moves. Two equal stamps
// mean the file was not written in between; empty when the file cannot be
// looked at (then it is always copied afresh).
std::string fileStamp(const std::string& path, bool table);

}  // namespace shop::backup::detail
