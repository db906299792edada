// The outcome of a storage operation: success, or what failed, on which file
// and why (the SQLite or system message). Operations that answer with a bare
// bool or an empty value keep doing so; the reason of their last failure is
// this thread's lastStatus(), and a StatusWatch tells a reader whether any
// operation failed while it read, so "could not read" is never taken for
// "empty".
#pragma once

#include <cstdint>
#include <string>

namespace shop::storage {

class Status {
public:
    enum class Code : int {
        Ok = 0,
        Invalid,   // the call cannot be done: no table current, read-only table, value does not fit
        NotFound,  // no such file
        Exists,    // create: the path is taken
        Damaged,   // not a table of ours, or a table that is damaged
        Busy,      // another process held the file for longer than the busy timeout
        IoError,   // the system refused: full disk, no permission, read error
        Locked,    // another program owns the run folder
    };

    Status() = default;
    static Status okStatus() { return Status(); }
    static Status error(Code code, std::string path, std::string detail) {
        return Status(code, std::move(path), std::move(detail));
    }

    bool ok() const { return m_code == Code::Ok; }
    Code code() const { return m_code; }
    const std::string& path() const { return m_path; }
    // The bare reason (SQLite's or the system's message, or our own).
    const std::string& detail() const { return m_detail; }
    // One line for a log or a message box: "path: reason", or "ok".
    std::string message() const;

private:
    Status(Code code, std::string path, std::string detail)
        : m_code(code), m_path(std::move(path)), m_detail(std::move(detail)) {}

    Code m_code = Code::Ok;
    std::string m_path;
    std::string m_detail;
};

// The last failure of a storage operation in this thread (ok before any).
// A later success does not clear it: it answers "why did that call fail".
Status lastStatus();

// Notes every storage failure of this thread from its construction on.
class StatusWatch {
public:
    StatusWatch();
    // Whether any storage operation of this thread failed since construction.
    bool failed() const;
    // The last such failure; ok when none.
    Status status() const;

private:
    std::uint64_t m_serial;
};

// Where failures are reported. The program forwards them to its log, the
// table tool to standard error; by default nothing is written. A failure is
// reported once: a run of the same failure (same code, file and reason) in
// one thread, such as every read of a loop over a locked file, is reported
// at its first occurrence. Caller errors (Code::Invalid) and a missing file
// (NotFound, which callers test for on purpose) are not reported. The hook
// may be called from any thread that uses tables.
using FailureLog = void (*)(const Status& failure);
void setFailureLog(FailureLog log);

}  // namespace shop::storage
