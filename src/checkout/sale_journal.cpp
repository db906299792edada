#include "sale_journal.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

namespace shop::checkout {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kHeader = "shop-open-sale 1\n";
constexpr std::string_view kSuffix = ".journal";

// A text as "<byte count>:<bytes>": any byte may appear in a cell.
void putText(std::string& out, const std::string& text) {
    out += std::to_string(text.size());
    out += ':';
    out += text;
}

class Reader {
public:
    explicit Reader(std::string_view text) : m_text(text) {}

    bool literal(std::string_view word) {
        if (m_text.substr(m_at, word.size()) != word) return false;
        m_at += word.size();
        return true;
    }
    std::optional<long long> number() {
        long long value = 0;
        const char* first = m_text.data() + m_at;
        const auto [end, ec] = std::from_chars(first, m_text.data() + m_text.size(), value);
        if (ec != std::errc() || value < 0) return std::nullopt;
        m_at += static_cast<std::size_t>(end - first);
        return value;
    }
    std::optional<std::string> text() {
        const auto size = number();
        if (!size || !literal(":") || static_cast<std::size_t>(*size) > m_text.size() - m_at)
            return std::nullopt;
        std::string out(m_text.substr(m_at, static_cast<std::size_t>(*size)));
        m_at += out.size();
        return out;
    }
    bool atEnd() const { return m_at == m_text.size(); }

private:
    std::string_view m_text;
    std::size_t m_at = 0;
};

bool writeAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// A rename or an unlink is durable only once the folder holding it is synced.
bool syncFolderOf(const std::string& path) {
    const std::string folder = fs::path(path).parent_path().string();
    const int fd =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

bool replaceFile(const std::string& path, std::string_view content) {
    const std::string temporary = path + ".tmp";
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    const bool written = writeAll(fd, content) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return syncFolderOf(path);
}

}  // namespace

std::string encodeJournal(const OpenSale& sale) {
    std::string out(kHeader);
    out += "table ";
    putText(out, sale.salesTable);
    out += "\nrecorded " + std::to_string(sale.recorded) + "\nrows " +
           std::to_string(sale.rows.size()) + "\n";
    for (const SaleRow& row : sale.rows) {
        for (const std::string* cell : {&row.name, &row.price, &row.quantity, &row.date})
            putText(out, *cell);
        out += '\n';
    }
    out += "end\n";
    return out;
}

std::optional<OpenSale> decodeJournal(std::string_view text) {
    Reader in(text);
    OpenSale sale;
    if (!in.literal(kHeader) || !in.literal("table ")) return std::nullopt;
    auto table = in.text();
    if (!table || !in.literal("\nrecorded ")) return std::nullopt;
    sale.salesTable = std::move(*table);
    const auto recorded = in.number();
    if (!recorded || *recorded > INT32_MAX || !in.literal("\nrows ")) return std::nullopt;
    sale.recorded = static_cast<int>(*recorded);
    const auto count = in.number();
    if (!count || !in.literal("\n") || static_cast<std::size_t>(*count) > text.size())
        return std::nullopt;
    for (long long i = 0; i < *count; ++i) {
        SaleRow row;
        for (std::string* cell : {&row.name, &row.price, &row.quantity, &row.date}) {
            auto value = in.text();
            if (!value) return std::nullopt;
            *cell = std::move(*value);
        }
        if (!in.literal("\n")) return std::nullopt;
        sale.rows.push_back(std::move(row));
    }
    // The end marker: a journal cut short is no journal.
    if (!in.literal("end\n") || !in.atEnd()) return std::nullopt;
    return sale;
}

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

std::optional<OpenSale> readJournal(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    return decodeJournal(text.str());
}

bool removeJournal(const std::string& path) {
    if (::unlink(path.c_str()) != 0) return errno == ENOENT;
    return syncFolderOf(path);
}

SaleJournal::SaleJournal(std::string path, std::string salesTable, int recorded)
    : m_path(std::move(path)), m_sale{std::move(salesTable), recorded, {}} {}

bool SaleJournal::update(const std::vector<SaleRow>& rows) {
    if (m_path.empty()) return false;
    m_sale.rows = rows;
    return replaceFile(m_path, encodeJournal(m_sale));
}

bool SaleJournal::remove() { return m_path.empty() || removeJournal(m_path); }

}  // namespace shop::checkout
