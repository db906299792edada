// Reading a journal at start: a stream of entries, never the whole file.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "checkout/open_sale.h"
#include "checkout/sale_journal.h"
#include "checkout/sale_log.h"

namespace shop::checkout {

namespace {

class FileSource : public LogSource {
public:
    explicit FileSource(int fd) : m_fd(fd) {}
    std::optional<std::size_t> read(char* out, std::size_t n) override {
        for (;;) {
            const ssize_t got = ::read(m_fd, out, n);
            if (got >= 0) return static_cast<std::size_t>(got);
            if (errno != EINTR) return std::nullopt;
        }
    }

private:
    int m_fd;
};

// A journal of the earlier form holds one whole list, read at once; it is
// under the bound like any journal.
std::optional<OpenSale> readWholeList(FileSource& in, std::size_t size) {
    std::string text(size, '\0');
    std::size_t got = 0;
    while (got < size) {
        const auto n = in.read(text.data() + got, size - got);
        if (!n || *n == 0) return std::nullopt;
        got += *n;
    }
    return decodeJournal(text);
}

}  // namespace

JournalContents loadJournal(const std::string& path) {
    // Not following links, and not waiting on a pipe planted under the name.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return {};
    JournalContents contents;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        const auto size = static_cast<std::uint64_t>(st.st_size);
        std::string header(kLogHeader.size(), '\0');
        const ssize_t n = ::pread(fd, header.data(), header.size(), 0);
        header.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
        FileSource in(fd);
        if (size > kJournalSizeLimit) {
            contents.oversized = true;
        } else if (isLog(header)) {
            LogReplay replay = replayLog(in, size);
            contents.sale = std::move(replay.sale);
            contents.pending = std::move(replay.pending);
            contents.damaged = replay.end == LogEnd::Damaged;
        } else {
            contents.sale = readWholeList(in, static_cast<std::size_t>(size));
        }
    }
    ::close(fd);
    return contents;
}

}  // namespace shop::checkout
