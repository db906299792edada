/* Records every change a program makes under one folder, for the power-cut
 * trials: loaded with LD_PRELOAD, it sits in front of the C library's file
 * calls, lets each call through, and appends what succeeded to a trace
 * (trace_format.h). Set by the environment:
 *
 *   SHOP_TRACE_FILE      the trace; without it nothing is recorded
 *   SHOP_TRACE_ROOT      the folder (absolute) whose files are followed
 *   SHOP_TRACE_MARK_FD   writes to this descriptor are recorded as marks, so
 *                        the program's progress reports sit in the trace at
 *                        the moment they were made
 *   SHOP_TRACE_UNSYNCED  syncs of files whose name holds this text are not
 *                        made and not recorded (the control trials: a sync
 *                        missing from the program)
 *
 * Calls the trace cannot express (sendfile and the like on a followed file)
 * are recorded as unfollowed, so a replay refuses the trace instead of
 * replaying a wrong disk. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <pthread.h>
#include <stdarg.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/types.h>
#include <sys/uio.h>
#include <unistd.h>

#include "trace_format.h"

#define MAX_FD 65536
#define FOLLOWED 1
#define UNSYNCED 2

static int g_trace = -1;
static char g_root[PATH_MAX];
static size_t g_rootLen;
static int g_markFd = -1;
static char g_unsynced[256];
static unsigned char g_fds[MAX_FD];
static pthread_mutex_t g_lock = PTHREAD_RECURSIVE_MUTEX_INITIALIZER_NP;

#define REAL(name) real_##name
#define DECLARE_REAL(ret, name, ...)                                       \
    static ret (*real_##name)(__VA_ARGS__);                                \
    static void resolve_##name(void) {                                     \
        if (!real_##name) *(void**)&real_##name = dlsym(RTLD_NEXT, #name); \
    }

DECLARE_REAL(int, open, const char*, int, ...)
DECLARE_REAL(int, openat, int, const char*, int, ...)
DECLARE_REAL(ssize_t, write, int, const void*, size_t)
DECLARE_REAL(ssize_t, pwrite64, int, const void*, size_t, off64_t)
DECLARE_REAL(ssize_t, writev, int, const struct iovec*, int)
DECLARE_REAL(int, ftruncate64, int, off64_t)
DECLARE_REAL(int, truncate64, const char*, off64_t)
DECLARE_REAL(int, fsync, int)
DECLARE_REAL(int, fdatasync, int)
DECLARE_REAL(int, close, int)
DECLARE_REAL(int, dup, int)
DECLARE_REAL(int, dup2, int, int)
DECLARE_REAL(int, dup3, int, int, int)
DECLARE_REAL(int, renameat, int, const char*, int, const char*)
DECLARE_REAL(int, renameat2, int, const char*, int, const char*, unsigned)
DECLARE_REAL(int, linkat, int, const char*, int, const char*, int)
DECLARE_REAL(int, unlinkat, int, const char*, int)
DECLARE_REAL(int, mkdirat, int, const char*, mode_t)
DECLARE_REAL(char*, mkdtemp, char*)
DECLARE_REAL(int, mkostemps, char*, int, int)
DECLARE_REAL(ssize_t, sendfile, int, int, off_t*, size_t)
DECLARE_REAL(ssize_t, copy_file_range, int, off64_t*, int, off64_t*, size_t, unsigned)
DECLARE_REAL(int, fallocate, int, int, off_t, off_t)
DECLARE_REAL(int, posix_fallocate, int, off_t, off_t)

/* The trace file is written with the system call itself: the recorder's
 * own writes must not pass through the recorder. */
static void rawWrite(const char* p, size_t n) {
    while (n > 0) {
        const long w = syscall(SYS_write, g_trace, p, n);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return;
        p += w;
        n -= (size_t)w;
    }
}

static void emit(uint32_t op, int fd, int fd2, int64_t offset, int64_t flags, const char* path,
                 const char* path2, const void* data, size_t dataLen) {
    struct shop_trace_record r;
    memset(&r, 0, sizeof r);
    r.op = op;
    r.pid = (int32_t)getpid();
    r.fd = fd;
    r.fd2 = fd2;
    r.offset = offset;
    r.flags = flags;
    r.path_len = path ? (uint32_t)strlen(path) : 0;
    r.path2_len = path2 ? (uint32_t)strlen(path2) : 0;
    r.data_len = dataLen;
    /* One write per record: records of processes that follow each other
     * never interleave, and a record is in the trace whole or not at all. */
    const size_t total = sizeof r + r.path_len + r.path2_len + dataLen;
    char* buf = malloc(total);
    if (!buf) return;
    char* at = buf;
    memcpy(at, &r, sizeof r);
    at += sizeof r;
    if (r.path_len) memcpy(at, path, r.path_len);
    at += r.path_len;
    if (r.path2_len) memcpy(at, path2, r.path2_len);
    at += r.path2_len;
    if (dataLen) memcpy(at, data, dataLen);
    rawWrite(buf, total);
    free(buf);
}

__attribute__((constructor)) static void start(void) {
    const char* file = getenv("SHOP_TRACE_FILE");
    const char* root = getenv("SHOP_TRACE_ROOT");
    if (!file || !root || root[0] != '/' || strlen(root) >= sizeof g_root) return;
    strcpy(g_root, root);
    g_rootLen = strlen(g_root);
    while (g_rootLen > 1 && g_root[g_rootLen - 1] == '/') g_root[--g_rootLen] = '\0';
    const char* mark = getenv("SHOP_TRACE_MARK_FD");
    if (mark) g_markFd = atoi(mark);
    const char* unsynced = getenv("SHOP_TRACE_UNSYNCED");
    if (unsynced && strlen(unsynced) < sizeof g_unsynced) strcpy(g_unsynced, unsynced);
    g_trace = (int)syscall(SYS_open, file, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (g_trace >= 0) emit(SHOP_TRACE_START, -1, -1, 0, 0, NULL, NULL, NULL, 0);
}

/* The absolute, lexically normal form of `path` (relative to `dirfd`) in
 * `out`, when it lies under the traced folder. */
static int followedPath(int dirfd, const char* path, char* out) {
    if (g_trace < 0 || !path) return 0;
    char joined[PATH_MAX * 2];
    if (path[0] == '/') {
        snprintf(joined, sizeof joined, "%s", path);
    } else {
        char base[PATH_MAX];
        if (dirfd == AT_FDCWD) {
            if (!getcwd(base, sizeof base)) return 0;
        } else {
            char link[64];
            snprintf(link, sizeof link, "/proc/self/fd/%d", dirfd);
            const ssize_t n = readlink(link, base, sizeof base - 1);
            if (n <= 0) return 0;
            base[n] = '\0';
        }
        snprintf(joined, sizeof joined, "%s/%s", base, path);
    }
    /* Collapse "//", "." and "..", component by component. */
    size_t len = 0;
    const char* p = joined;
    while (*p) {
        while (*p == '/') ++p;
        const char* end = p;
        while (*end && *end != '/') ++end;
        const size_t n = (size_t)(end - p);
        if (n == 0 || (n == 1 && p[0] == '.')) {
        } else if (n == 2 && p[0] == '.' && p[1] == '.') {
            while (len > 0 && out[len - 1] != '/') --len;
            if (len > 0) --len;
        } else {
            if (len + 1 + n >= PATH_MAX) return 0;
            out[len++] = '/';
            memcpy(out + len, p, n);
            len += n;
        }
        p = end;
    }
    if (len == 0) out[len++] = '/';
    out[len] = '\0';
    return strncmp(out, g_root, g_rootLen) == 0 &&
           (out[g_rootLen] == '/' || out[g_rootLen] == '\0');
}

static int followedFd(int fd) { return fd >= 0 && fd < MAX_FD && (g_fds[fd] & FOLLOWED); }

static void opened(int fd, const char* path, int flags) {
    if (fd < 0 || fd >= MAX_FD) return;
    const char* name = strrchr(path, '/');
    g_fds[fd] = FOLLOWED | (g_unsynced[0] && strstr(name ? name : path, g_unsynced) ? UNSYNCED : 0);
    emit(SHOP_TRACE_OPEN, fd, -1, 0, flags, path, NULL, NULL, 0);
}

static int openCommon(int dirfd, const char* path, int flags, mode_t mode, int at) {
    char abs[PATH_MAX];
    const int followed = followedPath(dirfd, path, abs);
    if (followed) pthread_mutex_lock(&g_lock);
    int fd;
    if (at) {
        resolve_openat();
        fd = REAL(openat)(dirfd, path, flags, mode);
    } else {
        resolve_open();
        fd = REAL(open)(path, flags, mode);
    }
    if (followed) {
        if (fd >= 0) opened(fd, abs, flags);
        pthread_mutex_unlock(&g_lock);
    }
    return fd;
}

static mode_t modeArg(int flags, va_list ap) {
    return (flags & (O_CREAT | O_TMPFILE)) ? (mode_t)va_arg(ap, int) : 0;
}

int open(const char* path, int flags, ...) {
    va_list ap;
    va_start(ap, flags);
    const mode_t mode = modeArg(flags, ap);
    va_end(ap);
    return openCommon(AT_FDCWD, path, flags, mode, 0);
}
int open64(const char* path, int flags, ...) {
    va_list ap;
    va_start(ap, flags);
    const mode_t mode = modeArg(flags, ap);
    va_end(ap);
    return openCommon(AT_FDCWD, path, flags, mode, 0);
}
int openat(int dirfd, const char* path, int flags, ...) {
    va_list ap;
    va_start(ap, flags);
    const mode_t mode = modeArg(flags, ap);
    va_end(ap);
    return openCommon(dirfd, path, flags, mode, 1);
}
int openat64(int dirfd, const char* path, int flags, ...) {
    va_list ap;
    va_start(ap, flags);
    const mode_t mode = modeArg(flags, ap);
    va_end(ap);
    return openCommon(dirfd, path, flags, mode, 1);
}
int creat(const char* path, mode_t mode) {
    return openCommon(AT_FDCWD, path, O_WRONLY | O_CREAT | O_TRUNC, mode, 0);
}
int creat64(const char* path, mode_t mode) { return creat(path, mode); }
/* The checked forms a fortified build calls. */
int __open_2(const char* path, int flags) { return openCommon(AT_FDCWD, path, flags, 0, 0); }
int __open64_2(const char* path, int flags) { return openCommon(AT_FDCWD, path, flags, 0, 0); }
int __openat_2(int dirfd, const char* path, int flags) {
    return openCommon(dirfd, path, flags, 0, 1);
}
int __openat64_2(int dirfd, const char* path, int flags) {
    return openCommon(dirfd, path, flags, 0, 1);
}

ssize_t write(int fd, const void* buf, size_t n) {
    resolve_write();
    if (g_trace >= 0 && fd == g_markFd) {
        pthread_mutex_lock(&g_lock);
        const ssize_t w = REAL(write)(fd, buf, n);
        if (w > 0) emit(SHOP_TRACE_MARK, fd, -1, 0, 0, NULL, NULL, buf, (size_t)w);
        pthread_mutex_unlock(&g_lock);
        return w;
    }
    if (!followedFd(fd)) return REAL(write)(fd, buf, n);
    pthread_mutex_lock(&g_lock);
    const ssize_t w = REAL(write)(fd, buf, n);
    if (w > 0) {
        /* Where it landed, appending or not: the offset it moved to. */
        const off_t end = lseek(fd, 0, SEEK_CUR);
        emit(SHOP_TRACE_WRITE, fd, -1, (int64_t)end - w, 0, NULL, NULL, buf, (size_t)w);
    }
    pthread_mutex_unlock(&g_lock);
    return w;
}

static ssize_t pwriteCommon(int fd, const void* buf, size_t n, off64_t offset) {
    resolve_pwrite64();
    if (!followedFd(fd)) return REAL(pwrite64)(fd, buf, n, offset);
    pthread_mutex_lock(&g_lock);
    const ssize_t w = REAL(pwrite64)(fd, buf, n, offset);
    if (w > 0) emit(SHOP_TRACE_WRITE, fd, -1, offset, 0, NULL, NULL, buf, (size_t)w);
    pthread_mutex_unlock(&g_lock);
    return w;
}
ssize_t pwrite(int fd, const void* buf, size_t n, off_t offset) {
    return pwriteCommon(fd, buf, n, offset);
}
ssize_t pwrite64(int fd, const void* buf, size_t n, off64_t offset) {
    return pwriteCommon(fd, buf, n, offset);
}

ssize_t writev(int fd, const struct iovec* iov, int count) {
    resolve_writev();
    if (!followedFd(fd)) return REAL(writev)(fd, iov, count);
    pthread_mutex_lock(&g_lock);
    const ssize_t w = REAL(writev)(fd, iov, count);
    if (w > 0) {
        char* data = malloc((size_t)w);
        if (data) {
            size_t at = 0;
            for (int i = 0; i < count && at < (size_t)w; ++i) {
                size_t take = iov[i].iov_len;
                if (take > (size_t)w - at) take = (size_t)w - at;
                memcpy(data + at, iov[i].iov_base, take);
                at += take;
            }
            const off_t end = lseek(fd, 0, SEEK_CUR);
            emit(SHOP_TRACE_WRITE, fd, -1, (int64_t)end - w, 0, NULL, NULL, data, (size_t)w);
            free(data);
        }
    }
    pthread_mutex_unlock(&g_lock);
    return w;
}

static int ftruncateCommon(int fd, off64_t length) {
    resolve_ftruncate64();
    if (!followedFd(fd)) return REAL(ftruncate64)(fd, length);
    pthread_mutex_lock(&g_lock);
    const int r = REAL(ftruncate64)(fd, length);
    if (r == 0) emit(SHOP_TRACE_TRUNCATE, fd, -1, length, 0, NULL, NULL, NULL, 0);
    pthread_mutex_unlock(&g_lock);
    return r;
}
int ftruncate(int fd, off_t length) { return ftruncateCommon(fd, length); }
int ftruncate64(int fd, off64_t length) { return ftruncateCommon(fd, length); }

static int truncateCommon(const char* path, off64_t length) {
    char abs[PATH_MAX];
    resolve_truncate64();
    if (!followedPath(AT_FDCWD, path, abs)) return REAL(truncate64)(path, length);
    pthread_mutex_lock(&g_lock);
    const int r = REAL(truncate64)(path, length);
    if (r == 0) emit(SHOP_TRACE_TRUNCATE, -1, -1, length, 0, abs, NULL, NULL, 0);
    pthread_mutex_unlock(&g_lock);
    return r;
}
int truncate(const char* path, off_t length) { return truncateCommon(path, length); }
int truncate64(const char* path, off64_t length) { return truncateCommon(path, length); }

static int syncCommon(int fd, int data) {
    resolve_fsync();
    resolve_fdatasync();
    if (!followedFd(fd)) return data ? REAL(fdatasync)(fd) : REAL(fsync)(fd);
    if (g_fds[fd] & UNSYNCED) return 0;
    pthread_mutex_lock(&g_lock);
    const int r = data ? REAL(fdatasync)(fd) : REAL(fsync)(fd);
    if (r == 0) emit(SHOP_TRACE_SYNC, fd, -1, 0, data, NULL, NULL, NULL, 0);
    pthread_mutex_unlock(&g_lock);
    return r;
}
int fsync(int fd) { return syncCommon(fd, 0); }
int fdatasync(int fd) { return syncCommon(fd, 1); }

int close(int fd) {
    resolve_close();
    if (!followedFd(fd)) return REAL(close)(fd);
    pthread_mutex_lock(&g_lock);
    g_fds[fd] = 0;
    emit(SHOP_TRACE_CLOSE, fd, -1, 0, 0, NULL, NULL, NULL, 0);
    const int r = REAL(close)(fd);
    pthread_mutex_unlock(&g_lock);
    return r;
}

static int duplicated(int from, int to) {
    if (to >= 0 && to < MAX_FD) {
        if (followedFd(from)) {
            g_fds[to] = g_fds[from];
            emit(SHOP_TRACE_DUP, from, to, 0, 0, NULL, NULL, NULL, 0);
        } else if (followedFd(to)) {
            g_fds[to] = 0; /* the descriptor it replaced is closed */
            emit(SHOP_TRACE_CLOSE, to, -1, 0, 0, NULL, NULL, NULL, 0);
        }
    }
    return to;
}
int dup(int fd) {
    resolve_dup();
    pthread_mutex_lock(&g_lock);
    const int r = duplicated(fd, REAL(dup)(fd));
    pthread_mutex_unlock(&g_lock);
    return r;
}
int dup2(int fd, int to) {
    resolve_dup2();
    pthread_mutex_lock(&g_lock);
    const int r = REAL(dup2)(fd, to);
    if (r >= 0 && fd != to) duplicated(fd, r);
    pthread_mutex_unlock(&g_lock);
    return r;
}
int dup3(int fd, int to, int flags) {
    resolve_dup3();
    pthread_mutex_lock(&g_lock);
    const int r = REAL(dup3)(fd, to, flags);
    if (r >= 0) duplicated(fd, r);
    pthread_mutex_unlock(&g_lock);
    return r;
}

/* A call on two names: recorded when either lies under the traced folder. */
static const char kAcross[] = "rename or link across the traced folder's edge";
static int twoNames(uint32_t op, int fromDir, const char* from, int toDir, const char* to,
                    int64_t flags, int (*call)(void*), void* args) {
    char a[PATH_MAX], b[PATH_MAX];
    const int fa = followedPath(fromDir, from, a), fb = followedPath(toDir, to, b);
    if (!fa && !fb) return call(args);
    pthread_mutex_lock(&g_lock);
    const int r = call(args);
    if (r == 0) {
        if (fa && fb)
            emit(op, -1, -1, 0, flags, a, b, NULL, 0);
        else
            emit(SHOP_TRACE_UNFOLLOWED, -1, -1, 0, 0, fa ? a : b, NULL, kAcross, strlen(kAcross));
    }
    pthread_mutex_unlock(&g_lock);
    return r;
}

struct TwoNameArgs {
    int fromDir;
    const char* from;
    int toDir;
    const char* to;
    unsigned flags;
};
static int callRenameat2(void* p) {
    const struct TwoNameArgs* a = p;
    resolve_renameat2();
    resolve_renameat();
    return a->flags ? REAL(renameat2)(a->fromDir, a->from, a->toDir, a->to, a->flags)
                    : REAL(renameat)(a->fromDir, a->from, a->toDir, a->to);
}
static int callLinkat(void* p) {
    const struct TwoNameArgs* a = p;
    resolve_linkat();
    return REAL(linkat)(a->fromDir, a->from, a->toDir, a->to, (int)a->flags);
}

int renameat2(int fromDir, const char* from, int toDir, const char* to, unsigned flags) {
    struct TwoNameArgs a = {fromDir, from, toDir, to, flags};
    return twoNames(SHOP_TRACE_RENAME, fromDir, from, toDir, to, flags, callRenameat2, &a);
}
int renameat(int fromDir, const char* from, int toDir, const char* to) {
    return renameat2(fromDir, from, toDir, to, 0);
}
int rename(const char* from, const char* to) { return renameat2(AT_FDCWD, from, AT_FDCWD, to, 0); }
int linkat(int fromDir, const char* from, int toDir, const char* to, int flags) {
    struct TwoNameArgs a = {fromDir, from, toDir, to, (unsigned)flags};
    return twoNames(SHOP_TRACE_LINK, fromDir, from, toDir, to, 0, callLinkat, &a);
}
int link(const char* from, const char* to) { return linkat(AT_FDCWD, from, AT_FDCWD, to, 0); }

/* Removing a name, or a folder. */
static int removal(int dirfd, const char* path, int folder, int (*call)(int, const char*, int)) {
    char abs[PATH_MAX];
    if (!followedPath(dirfd, path, abs)) return call(dirfd, path, folder);
    pthread_mutex_lock(&g_lock);
    const int r = call(dirfd, path, folder);
    if (r == 0)
        emit(folder ? SHOP_TRACE_RMDIR : SHOP_TRACE_UNLINK, -1, -1, 0, 0, abs, NULL, NULL, 0);
    pthread_mutex_unlock(&g_lock);
    return r;
}
static int callUnlinkat(int dirfd, const char* path, int folder) {
    resolve_unlinkat();
    return REAL(unlinkat)(dirfd, path, folder ? AT_REMOVEDIR : 0);
}
int unlinkat(int dirfd, const char* path, int flags) {
    return removal(dirfd, path, (flags & AT_REMOVEDIR) != 0, callUnlinkat);
}
int unlink(const char* path) { return removal(AT_FDCWD, path, 0, callUnlinkat); }
int rmdir(const char* path) { return removal(AT_FDCWD, path, 1, callUnlinkat); }
int remove(const char* path) {
    struct stat st;
    const int folder = lstat(path, &st) == 0 && S_ISDIR(st.st_mode);
    return removal(AT_FDCWD, path, folder, callUnlinkat);
}

int mkdirat(int dirfd, const char* path, mode_t mode) {
    char abs[PATH_MAX];
    resolve_mkdirat();
    if (!followedPath(dirfd, path, abs)) return REAL(mkdirat)(dirfd, path, mode);
    pthread_mutex_lock(&g_lock);
    const int r = REAL(mkdirat)(dirfd, path, mode);
    if (r == 0) emit(SHOP_TRACE_MKDIR, -1, -1, 0, 0, abs, NULL, NULL, 0);
    pthread_mutex_unlock(&g_lock);
    return r;
}
int mkdir(const char* path, mode_t mode) { return mkdirat(AT_FDCWD, path, mode); }
char* mkdtemp(char* pattern) {
    char abs[PATH_MAX];
    resolve_mkdtemp();
    pthread_mutex_lock(&g_lock);
    char* made = REAL(mkdtemp)(pattern);
    if (made && followedPath(AT_FDCWD, made, abs))
        emit(SHOP_TRACE_MKDIR, -1, -1, 0, 0, abs, NULL, NULL, 0);
    pthread_mutex_unlock(&g_lock);
    return made;
}

/* Files made under a random name: the C library opens them itself, out of
 * reach of the open above. */
int mkostemps(char* pattern, int suffixLength, int flags) {
    char abs[PATH_MAX];
    resolve_mkostemps();
    pthread_mutex_lock(&g_lock);
    const int fd = REAL(mkostemps)(pattern, suffixLength, flags);
    if (fd >= 0 && followedPath(AT_FDCWD, pattern, abs))
        opened(fd, abs, O_RDWR | O_CREAT | O_EXCL | flags);
    pthread_mutex_unlock(&g_lock);
    return fd;
}
int mkostemp(char* pattern, int flags) { return mkostemps(pattern, 0, flags); }
int mkstemps(char* pattern, int suffixLength) { return mkostemps(pattern, suffixLength, 0); }
int mkstemp(char* pattern) { return mkostemps(pattern, 0, 0); }
int mkostemp64(char* pattern, int flags) { return mkostemps(pattern, 0, flags); }
int mkstemp64(char* pattern) { return mkostemps(pattern, 0, 0); }

/* Copies and allocations inside the kernel: the data never passes here. */
static void unfollowed(int fd, const char* call) {
    if (!followedFd(fd)) return;
    pthread_mutex_lock(&g_lock);
    emit(SHOP_TRACE_UNFOLLOWED, fd, -1, 0, 0, NULL, NULL, call, strlen(call));
    pthread_mutex_unlock(&g_lock);
}
ssize_t sendfile(int out, int in, off_t* offset, size_t n) {
    resolve_sendfile();
    unfollowed(out, "sendfile");
    return REAL(sendfile)(out, in, offset, n);
}
ssize_t sendfile64(int out, int in, off_t* offset, size_t n) {
    return sendfile(out, in, offset, n);
}
ssize_t copy_file_range(int in, off64_t* inOffset, int out, off64_t* outOffset, size_t n,
                        unsigned flags) {
    resolve_copy_file_range();
    unfollowed(out, "copy_file_range");
    return REAL(copy_file_range)(in, inOffset, out, outOffset, n, flags);
}
int fallocate(int fd, int mode, off_t offset, off_t length) {
    resolve_fallocate();
    unfollowed(fd, "fallocate");
    return REAL(fallocate)(fd, mode, offset, length);
}
int posix_fallocate(int fd, off_t offset, off_t length) {
    resolve_posix_fallocate();
    unfollowed(fd, "posix_fallocate");
    return REAL(posix_fallocate)(fd, offset, length);
}
