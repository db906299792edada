#include "run_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "data_paths.h"
#include "failure.h"

namespace shop::storage {

RunLock::~RunLock() { release(); }

RunLock::RunLock(RunLock&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}

RunLock& RunLock::operator=(RunLock&& other) noexcept {
    if (this != &other) {
        release();
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

Status RunLock::acquire(const std::string& runDir) {
    release();
    const std::string path = joinPath(runDir, kRunLockName);
    // Close-on-exec: a program started from here must not inherit the lock.
    const int fd =
        ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0644);
    if (fd < 0)
        return detail::fail(Status::Code::IoError, path,
                            std::string("cannot open the lock file: ") + std::strerror(errno));
    int rc;
    do rc = ::flock(fd, LOCK_EX | LOCK_NB);
    while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        const int err = errno;
        ::close(fd);
        if (err == EWOULDBLOCK)
            return detail::fail(Status::Code::Locked, path,
                                "another program is using this run folder");
        return detail::fail(Status::Code::IoError, path,
                            std::string("cannot lock: ") + std::strerror(err));
    }
    m_fd = fd;
    return Status();
}

void RunLock::release() {
    if (m_fd < 0) return;
    // Closing the only descriptor of the open file drops the lock.
    ::close(m_fd);
    m_fd = -1;
}

}  // namespace shop::storage
