// What `provision --demo` puts into a run folder, so that every window has
// something to show: the catalogue, three employees with their leave and
// salary records, and the sales of a run earlier today.
#pragma once

#include <string>

#include "storage/data_paths.h"

namespace shop::tool {

// Fills `path`, one of the run folder's shipped tables just created, with its
// demo records. True when there is nothing to fill or every write succeeded.
bool fillShippedDemo(const storage::DataPaths& paths, const std::string& path);

// Creates the tables the program would make for the demo employees and for
// an earlier run of today, each only where no file is there yet.
bool addDemoHistory(const storage::DataPaths& paths);

}  // namespace shop::tool
