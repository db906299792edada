// What removing an employee means for the leave folder.
#pragma once

#include <string>

#include "storage/data_paths.h"

namespace shop::employees {

// Deletes the leave table of the employee called `name`, found by listing the
// leave folder (which lets waiting window events run). Every other
// employee's leave table stays. A name that could not name a table in that
// folder deletes nothing; a failed deletion is ignored.
void deleteLeaveTable(const storage::DataPaths& paths, const std::string& name);

}  // namespace shop::employees
