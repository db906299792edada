#include "receipt_number.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <tuple>
#include <vector>

#include "storage/data_paths.h"
#include "storage/schemas.h"
#include "storage/table_read_all.h"

namespace shop::checkout {

namespace fs = std::filesystem;
namespace st = shop::storage;

namespace {

bool isAlnum(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

std::optional<int> digits(std::string_view text) {
    int value = 0;
    if (text.empty()) return std::nullopt;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < 0) return std::nullopt;
    return value;
}

struct TicketTable {
    st::Moment start;
    std::string path;
};

// Ticket tables by the moment their run started, newest first.
std::vector<TicketTable> newestFirst(const std::string& folder) {
    std::vector<TicketTable> tables;
    const std::string prefix = st::kTicketPrefix;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path& p = it->path();
        const std::string stem = p.stem().string();
        if (p.extension() != ".edb" || stem.compare(0, prefix.size(), prefix) != 0) continue;
        if (const auto start = st::parseDateText(std::string_view(stem).substr(prefix.size())))
            tables.push_back({*start, p.string()});
    }
    const auto key = [](const st::Moment& m) {
        return std::tuple(m.year, m.month, m.day, m.hour, m.minute, m.second);
    };
    std::sort(tables.begin(), tables.end(), [&](const TicketTable& a, const TicketTable& b) {
        return key(a.start) > key(b.start);
    });
    return tables;
}

}  // namespace

std::string tillCodeOr(std::string_view code) {
    if (code.empty() || code.size() > 8 || !std::all_of(code.begin(), code.end(), isAlnum))
        return kDefaultTillCode;
    return std::string(code);
}

int dayKey(const st::Moment& day) { return day.year * 10000 + day.month * 100 + day.day; }

std::string receiptNumber(std::string_view till, int day, int sequence) {
    char tail[32];
    std::snprintf(tail, sizeof tail, "-%08d-%04d", day, sequence);
    return std::string(till) + tail;
}

std::optional<ReceiptParts> parseReceipt(std::string_view receipt) {
    const std::size_t last = receipt.rfind('-');
    if (last == std::string_view::npos || last == 0) return std::nullopt;
    const std::size_t middle = receipt.rfind('-', last - 1);
    if (middle == std::string_view::npos || middle == 0) return std::nullopt;
    const auto day = digits(receipt.substr(middle + 1, last - middle - 1));
    const auto sequence = digits(receipt.substr(last + 1));
    if (!day || !sequence || last - middle - 1 != 8 || receipt.size() - last - 1 < 4)
        return std::nullopt;
    return ReceiptParts{std::string(receipt.substr(0, middle)), *day, *sequence};
}

int lastSequenceOfDay(const std::string& ticketFolder, const st::Moment& day) {
    const int wanted = dayKey(day);
    for (const TicketTable& table : newestFirst(ticketFolder)) {
        int highest = 0;
        const st::TableContents tickets =
            st::readAllRecords(table.path, st::schemas::ticket_field::kReceipt);
        for (std::size_t i = 0; i < tickets.recordCount(); ++i) {
            const auto parts =
                parseReceipt(tickets.cells[i * static_cast<std::size_t>(tickets.width)]);
            if (parts && parts->day == wanted) highest = std::max(highest, parts->sequence);
        }
        if (highest > 0) return highest;
        if (dayKey(table.start) < wanted) return 0;
    }
    return 0;
}

ReceiptNumbers::ReceiptNumbers(std::string ticketFolder, std::string tillCode)
    : m_folder(std::move(ticketFolder)), m_till(tillCodeOr(tillCode)) {}

void ReceiptNumbers::prime(const st::Moment& now) {
    m_day = dayKey(now);
    m_sequence = lastSequenceOfDay(m_folder, now);
}

std::string ReceiptNumbers::next(const st::Moment& now) {
    if (dayKey(now) != m_day) prime(now);
    return receiptNumber(m_till, m_day, ++m_sequence);
}

}  // namespace shop::checkout
