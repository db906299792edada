// The table of day closes (收款记录/日结.edb): closes are only ever appended,
// each in one all-or-nothing step, and read back whole.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "close_record.h"

namespace shop::dayclose {

// Appends the close. The table (and its folder) is made when missing, as an
// older run folder lacks it. Empty on success, otherwise what failed, for
// the cashier. Leaves the calling thread's current table as it was.
std::string appendClose(const std::string& path, const CloseRecord& record);

struct StoredCloses {
    bool readable = true;             // false: the table is there but cannot be read
    std::vector<CloseRecord> closes;  // in the order they were stored
};

// Every close in the table; none when the table is missing. A record that
// is not a close of ours is left out.
StoredCloses readCloses(const std::string& path);

}  // namespace shop::dayclose
