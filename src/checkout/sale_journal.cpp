#include "sale_journal.h"

#include <unistd.h>

#include <algorithm>
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

JournalContents loadJournal(const std::string& path) {
    const auto file = readFile(path);
    if (!file) return {};
    if (!isLog(*file)) return {decodeJournal(*file), std::nullopt, false};
    LogReplay replay = replayLog(*file);
    return {std::move(replay.sale), std::move(replay.pending), replay.end == LogEnd::Damaged};
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
      m_restate(other.m_restate) {}

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
    const bool canAppend = m_fd >= 0 && !m_restate &&
                           m_size - m_restartedSize <= std::max(kRestartAfter, m_restartedSize);
    if (canAppend && rows == m_sale.rows) return true;
    const auto entry = canAppend ? changeEntry(m_sale.rows, rows) : std::nullopt;
    const bool written =
        entry ? append(*entry) : restart(OpenSale{m_sale.salesTable, m_sale.recorded, rows});
    if (written) m_sale.rows = rows;
    return written;
}

bool SaleJournal::begin(const FinishedSale& sale) {
    m_pending = sale;
    if (m_path.empty()) return false;
    const bool written = m_fd >= 0 && !m_restate
                             ? append(pendingEntry(sale))
                             : restart(OpenSale{m_sale.salesTable, m_sale.recorded, {}});
    m_sale.rows.clear();
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
    return m_path.empty() || removeJournal(m_path);
}

}  // namespace shop::checkout
