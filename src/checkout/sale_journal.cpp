#include "sale_journal.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <utility>

#include "checkout/journal_file.h"
#include "checkout/sale_log.h"

namespace shop::checkout {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kSuffix = ".journal";
constexpr std::string_view kAsideSuffix = ".damaged";

// Entries appended since the last restart may grow to this, or to the size
// of the snapshot if larger, before the log starts again from a snapshot:
// the file stays small and a restart's cost is spread over many changes.
constexpr std::uint64_t kRestartAfter = 256 * 1024;

}  // namespace

std::string journalPath(const std::string& runDir, const std::string& salesTable) {
    return (fs::path(runDir) / fs::path(salesTable).stem()).string() + std::string(kSuffix);
}

std::vector<std::string> journalsIn(const std::string& runDir) {
    std::vector<std::string> found;
    std::error_code ec;
    for (fs::directory_iterator it(runDir, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path& p = it->path();
        if (p.extension() == kSuffix && it->is_regular_file(ec)) found.push_back(p.string());
    }
    std::sort(found.begin(), found.end());
    return found;
}

std::optional<OpenSale> readJournal(const std::string& path) { return loadJournal(path).sale; }

bool removeJournal(const std::string& path) { return removeFile(path); }

std::optional<std::string> setJournalAside(const std::string& path) {
    return setAside(path, kAsideSuffix);
}

SaleJournal::SaleJournal(std::string path, std::string salesTable, int recorded)
    : m_path(std::move(path)), m_sale{std::move(salesTable), recorded, {}} {}

SaleJournal::~SaleJournal() { closeFile(); }

SaleJournal::SaleJournal(SaleJournal&& other) noexcept
    : m_path(std::move(other.m_path)),
      m_sale(std::move(other.m_sale)),
      m_pending(std::move(other.m_pending)),
      m_fd(std::exchange(other.m_fd, -1)),
      m_size(other.m_size),
      m_restartedSize(other.m_restartedSize),
      m_restate(other.m_restate),
      m_failing(other.m_failing) {}

SaleJournal& SaleJournal::operator=(SaleJournal&& other) noexcept {
    if (this != &other) {
        closeFile();
        m_path = std::move(other.m_path);
        m_sale = std::move(other.m_sale);
        m_pending = std::move(other.m_pending);
        m_fd = std::exchange(other.m_fd, -1);
        m_size = other.m_size;
        m_restartedSize = other.m_restartedSize;
        m_restate = other.m_restate;
        m_failing = other.m_failing;
    }
    return *this;
}

void SaleJournal::closeFile() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
}

void SaleJournal::setRecorded(int records) {
    m_sale.recorded = records;
    m_restate = true;
}

bool SaleJournal::update(const std::vector<SaleRow>& rows) {
    if (m_path.empty()) return false;
    const bool canAppend = stillNamed() && !m_restate &&
                           m_size - m_restartedSize <= std::max(kRestartAfter, m_restartedSize);
    if (canAppend && rows == m_sale.rows) return true;
    auto entry = canAppend ? changeEntry(m_sale.rows, rows) : std::nullopt;
    // A change that would take the log over its bound starts it afresh.
    if (entry && m_size + entry->size() > kJournalSizeLimit) entry.reset();
    const bool written =
        entry ? append(*entry) : restart(OpenSale{m_sale.salesTable, m_sale.recorded, rows});
    if (written) m_sale.rows = rows;
    if (!written && !m_failing)
        std::fprintf(stderr, "澄屿店铺管理系统：未结销售日志写入失败：%s\n", m_path.c_str());
    m_failing = !written;
    return written;
}

bool SaleJournal::begin(const FinishedSale& sale) {
    m_pending = sale;
    // A sale takes the list's lines; a refund leaves the open list as it is.
    if (sale.original.empty()) m_sale.rows.clear();
    if (m_path.empty()) return false;
    const bool written = m_fd >= 0 && !m_restate ? append(pendingEntry(sale)) : restart(m_sale);
    if (!written) m_restate = true;
    return written;
}

bool SaleJournal::landed(int records) {
    m_pending.reset();
    m_sale.recorded = records;
    if (m_path.empty()) return false;
    const bool written = m_fd >= 0 && !m_restate && append(landedEntry(records));
    // Should the entry not be written, the next change restates the whole
    // list with the new count, so no later line passes as stored.
    if (!written) m_restate = true;
    return written;
}

// The file stays open only while every entry in it was written and synced
// (a failed one closes it), so an open file says what m_sale says.
bool SaleJournal::holds(const std::vector<SaleRow>& rows) const {
    return stillNamed() && !m_restate && m_sale.rows == rows;
}

// Whether the open file is still a journal on disk: one deleted meanwhile
// would take every later entry without a complaint, and no start reads it.
bool SaleJournal::stillNamed() const {
    struct stat st {};
    return m_fd >= 0 && ::fstat(m_fd, &st) == 0 && st.st_nlink > 0;
}

// One entry and one data sync. A write that fails may leave part of the
// entry behind, and a sync that fails leaves the file's state unknown: no
// entry is appended behind either, the next update starts the log afresh.
bool SaleJournal::append(const std::string& entry) {
    if (writeAll(m_fd, entry) && ::fdatasync(m_fd) == 0) {
        m_size += entry.size();
        return true;
    }
    closeFile();
    return false;
}

// A new log holding only a snapshot of the list replaces the old one whole:
// a crash in between leaves one or the other, so no row is lost or doubled.
bool SaleJournal::restart(const OpenSale& sale) {
    std::string content = std::string(kLogHeader) + snapshotEntry(sale);
    if (m_pending) content += pendingEntry(*m_pending);
    if (content.size() > kJournalSizeLimit) return false;  // no start would read it
    const int fd = replaceFile(m_path, content);
    if (fd < 0) return false;
    closeFile();
    m_fd = fd;
    m_size = m_restartedSize = content.size();
    m_restate = false;
    return true;
}

bool SaleJournal::remove() {
    closeFile();
    m_failing = false;  // nothing is left to keep
    return m_path.empty() || removeJournal(m_path);
}

}  // namespace shop::checkout
