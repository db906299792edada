#include "small_disk.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

extern char** environ;

namespace shop::test {

namespace {

constexpr const char* kMountEnv = "SHOP_SMALL_DISK";
constexpr int kNoMount = 77;

// What failed in the child before the test could run there: a step and its
// errno, sent back through a pipe the exec closes.
struct Failed {
    int step = 0;
    int error = 0;
};
const char* const kSteps[] = {"", "making a mount namespace", "mapping the user",
                              "mounting a tmpfs", "starting the test again"};

bool writeText(const char* path, const std::string& text) {
    const int fd = ::open(path, O_WRONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    ::close(fd);
    return ok;
}

}  // namespace

SmallDisk::SmallDisk(std::uintmax_t bytes, std::uintmax_t files) {
    if (const char* dir = std::getenv(kMountEnv)) {
        m_inside = true;
        m_dir = dir;
        return;
    }
    runInside(bytes, files);
}

SmallDisk::~SmallDisk() {
    if (m_inside) {
        empty();
        // Gone with the namespace anyway; unmounted here so that where the
        // mount was shared with the parent namespace, it goes there too.
        ::umount2(m_dir.c_str(), MNT_DETACH);
    } else if (!m_dir.empty()) {
        ::rmdir(m_dir.c_str());
    }
}

void SmallDisk::runInside(std::uintmax_t bytes, std::uintmax_t files) {
    char pattern[] = "/tmp/shop-small-disk-XXXXXX";
    if (!::mkdtemp(pattern)) {
        m_unavailable = std::string("no folder for the mount: ") + std::strerror(errno);
        return;
    }
    m_dir = pattern;
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string filter =
        std::string("--gtest_filter=") + test->test_suite_name() + "." + test->name();
    char self[4096];
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) {
        m_unavailable = "cannot find the test program (/proc/self/exe)";
        return;
    }
    self[n] = '\0';
    const std::string options =
        "size=" + std::to_string(bytes) + ",nr_inodes=" + std::to_string(files) + ",mode=0755";
    const std::string uidMap = "0 " + std::to_string(::getuid()) + " 1";
    const std::string gidMap = "0 " + std::to_string(::getgid()) + " 1";
    const std::string mountEnv = std::string(kMountEnv) + "=" + m_dir;
    std::vector<char*> envp;
    for (char** e = environ; *e; ++e) envp.push_back(*e);
    envp.push_back(const_cast<char*>(mountEnv.c_str()));
    envp.push_back(nullptr);
    char* argv[] = {self, const_cast<char*>(filter.c_str()), nullptr};

    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) {
        m_unavailable = "no pipe";
        return;
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(report[0]);
        Failed failed;
        auto give_up = [&](int step) {
            failed = {step, errno};
            if (::write(report[1], &failed, sizeof failed) < 0) _exit(kNoMount + 1);
            _exit(kNoMount);
        };
        if (::unshare(CLONE_NEWNS) != 0) {
            // Not root: a user namespace of our own may mount a tmpfs.
            if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) give_up(1);
            if (!writeText("/proc/self/setgroups", "deny") ||
                !writeText("/proc/self/uid_map", uidMap) ||
                !writeText("/proc/self/gid_map", gidMap))
                give_up(2);
        }
        // Nothing mounted here reaches the parent namespace. (Inside a
        // chroot "/" is no mount point and this fails; the unmount at the
        // end of the test then takes the tmpfs away there too.)
        ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr);
        if (::mount("shop-small-disk", m_dir.c_str(), "tmpfs", MS_NOSUID | MS_NODEV,
                    options.c_str()) != 0)
            give_up(3);
        ::execve(self, argv, envp.data());
        give_up(4);
    }
    ::close(report[1]);
    if (pid < 0) {
        ::close(report[0]);
        m_unavailable = "cannot fork";
        return;
    }
    Failed failed;
    const bool gaveUp = ::read(report[0], &failed, sizeof failed) == sizeof failed;
    ::close(report[0]);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (gaveUp) {
        m_unavailable = std::string("no small disk for this test (") + kSteps[failed.step] + ": " +
                        std::strerror(failed.error) + ")";
        return;
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << "the run on the small disk failed (its output is above)";
}

void SmallDisk::fill(std::uintmax_t bytes, std::uintmax_t files) {
    const std::string folder = m_dir + "/.filler";
    ::mkdir(folder.c_str(), 0755);
    // Every byte: one file written until the disk says it is full, then cut
    // back by what is to stay free.
    const std::string big = folder + "/bytes";
    const int fd = ::open(big.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    ASSERT_GE(fd, 0) << std::strerror(errno);
    m_fillers.push_back(big);
    const std::string chunk(4096, 'x');
    off_t size = 0;
    while (true) {
        const ssize_t w = ::write(fd, chunk.data(), chunk.size());
        if (w <= 0) break;
        size += w;
    }
    EXPECT_EQ(errno, ENOSPC);
    const off_t keep = size - static_cast<off_t>((bytes + 4095) / 4096 * 4096);
    EXPECT_EQ(::ftruncate(fd, keep < 0 ? 0 : keep), 0);
    ::close(fd);
    // Every file: empty ones until no more can be made, then a few removed.
    for (int i = 0;; ++i) {
        const std::string name = folder + "/" + std::to_string(i);
        const int f = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (f < 0) {
            EXPECT_EQ(errno, ENOSPC);
            break;
        }
        ::close(f);
        m_fillers.push_back(name);
    }
    for (std::uintmax_t i = 0; i < files && m_fillers.size() > 1; ++i) {
        ::unlink(m_fillers.back().c_str());
        m_fillers.pop_back();
    }
}

void SmallDisk::empty() {
    for (const auto& f : m_fillers) ::unlink(f.c_str());
    m_fillers.clear();
}

}  // namespace shop::test
