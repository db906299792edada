// The leave table of one employee: one record per request, in the order the
// requests were made. Acts on the calling thread's tables only.
#pragma once

#include <string>
#include <vector>

namespace shop::leave {

inline constexpr const char* kApproved = "同意";
inline constexpr const char* kRefused = "拒绝";
inline constexpr const char* kStoreFailedMessage = "请假信息保存失败";
// Requests refused before anything is stored.
inline constexpr const char* kEndBeforeStart = "请假终止时间不能早于请假时间，请假信息未保存";
inline constexpr const char* kNoDecision = "请先选择“同意”或“拒绝”，请假信息未保存";

struct LeaveRecord {
    std::string start;     // date text of the first day of leave
    std::string end;       // date text of the last day of leave
    std::string decision;  // kApproved or kRefused
};

// Every record of the current table, first to last.
std::vector<LeaveRecord> readLeaveRecords();

// Opens the leave table at `path` for reading and writing, creating it with
// the three leave fields when no file is there. A file that is there but does
// not open is never replaced: that is a failure.
bool openOrCreateLeaveTable(const std::string& path);

// Appends the request to the current table. True when the two dates were
// stored; otherwise nothing of the request stays.
bool appendLeaveRecord(const LeaveRecord& record);

}  // namespace shop::leave
