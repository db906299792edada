// A full disk, simulated: while a FileSizeLimit lives, this process cannot
// make any file longer than the limit. The write that would do so fails with
// EFBIG (the signal that would otherwise end the process is ignored), exactly
// what a write meets on a full disk.
#pragma once

#include <sys/resource.h>

#include <csignal>
#include <cstdint>

namespace shop::test {

class FileSizeLimit {
public:
    explicit FileSizeLimit(std::uintmax_t bytes) {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_savedHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_saved;
        limit.rlim_cur = static_cast<rlim_t>(bytes);
        m_active = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_savedHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    bool active() const { return m_active; }

private:
    rlimit m_saved{};
    void (*m_savedHandler)(int) = SIG_DFL;
    bool m_active = false;
};

}  // namespace shop::test
