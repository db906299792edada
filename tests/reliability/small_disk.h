// A real small disk for a test: a tmpfs of its own, with few bytes and few
// files, where a write or a file creation that does not fit fails with
// ENOSPC as on a full disk (a per-file size limit never makes a creation
// fail).
//
// Mounting needs a mount namespace of the test's own, and a process with
// threads cannot enter one; so the test runs twice. Its first run (here)
// starts the same test again in a child that makes the namespace, mounts
// the tmpfs and runs it there; the child's verdict is the test's. Use:
//
//     SmallDisk disk(2 << 20, 300);
//     if (!disk.inside()) {
//         if (!disk.unavailable().empty()) GTEST_SKIP() << disk.unavailable();
//         return;  // the run on the small disk has given the verdict
//     }
//
// Root makes the namespace directly; anyone else through a user namespace.
// Where neither works the test is skipped with the reason, never passed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace shop::test {

class SmallDisk {
public:
    SmallDisk(std::uintmax_t bytes, std::uintmax_t files);
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    // This run is the one on the small disk: the test goes on.
    bool inside() const { return m_inside; }
    // Why no small disk could be made (the first run only; empty if it was).
    const std::string& unavailable() const { return m_unavailable; }
    // The small disk's mount point.
    const std::string& dir() const { return m_dir; }

    // Takes all room but `bytes` (whole pages) and all files but `files`.
    void fill(std::uintmax_t bytes, std::uintmax_t files);
    // Gives back everything fill took.
    void empty();

private:
    void runInside(std::uintmax_t bytes, std::uintmax_t files);

    bool m_inside = false;
    std::string m_unavailable;
    std::string m_dir;
    std::vector<std::string> m_fillers;
};

}  // namespace shop::test
