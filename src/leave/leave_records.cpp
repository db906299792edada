#include "leave_records.h"

#include <filesystem>
#include <system_error>

#include "storage/schemas.h"
#include "storage/table.h"
#include "storage/table_visit.h"

namespace shop::leave {

namespace st = shop::storage;

std::vector<LeaveRecord> readLeaveRecords() {
    std::vector<LeaveRecord> records;
    for (auto& row : st::readTextRows(3)) records.push_back({row[0], row[1], row[2]});
    return records;
}

bool openOrCreateLeaveTable(const std::string& path) {
    if (st::open(path)) return true;
    std::error_code error;
    // Anything at the path (or a path we cannot even look at) is left alone.
    if (std::filesystem::symlink_status(path, error).type() !=
        std::filesystem::file_type::not_found)
        return false;
    return st::create(path, st::schemas::leave()) && st::open(path);
}

bool appendLeaveRecord(const LeaveRecord& record) {
    // A request whose dates cannot both be stored must not leave a half
    // record behind that later lists as a request.
    st::Batch batch;
    if (!batch.active() || !st::appendBlank()) return false;
    const bool startStored = st::writeText(1, record.start);
    const bool endStored = st::writeText(2, record.end);
    st::writeText(3, record.decision);
    return startStored && endStored && batch.commit();
}

}  // namespace shop::leave
