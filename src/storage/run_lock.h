// One program per run folder. Two programs on one folder are two tills
// rewriting the same catalogue from their own lists, and one till's work
// vanishes. The lock is the kernel's (flock on a small file in the run
// folder), so it goes with the process however the process ends, SIGKILL
// included; the file may stay and means nothing by itself. It is no table
// and lies in no data folder, so no folder listing counts it.
#pragma once

#include <string>

#include "status.h"

namespace shop::storage {

inline constexpr const char* kRunLockName = ".shop.lock";

class RunLock {
public:
    RunLock() = default;
    ~RunLock();
    RunLock(RunLock&& other) noexcept;
    RunLock& operator=(RunLock&& other) noexcept;
    RunLock(const RunLock&) = delete;
    RunLock& operator=(const RunLock&) = delete;

    // Takes the lock of the run folder without waiting; it is held until
    // this object goes or the process ends. Locked when another program (or
    // another RunLock) holds it; IoError when the lock file cannot be opened
    // (a folder or a link in its place, no permission) or locked.
    Status acquire(const std::string& runDir);
    bool held() const { return m_fd >= 0; }
    void release();

private:
    int m_fd = -1;
};

}  // namespace shop::storage
