#include "receipt_number.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "checkout/journal_file.h"
#include "checkout/sale_journal.h"
#include "checkout/ticket_table.h"
#include "storage/data_paths.h"
#include "storage/schemas.h"
#include "storage/table_read_all.h"

namespace shop::checkout {

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

int highestSequenceIn(std::string_view bytes, int day) {
    const std::string marker = "-" + std::to_string(day) + "-";
    int highest = 0;
    for (std::size_t at = bytes.find(marker); at != std::string_view::npos;
         at = bytes.find(marker, at + 1)) {
        std::size_t end = at + marker.size();
        int sequence = 0;
        while (end < bytes.size() && bytes[end] >= '0' && bytes[end] <= '9' && sequence < 100000000)
            sequence = sequence * 10 + (bytes[end++] - '0');
        if (end - at - marker.size() >= 4) highest = std::max(highest, sequence);
    }
    return highest;
}

std::optional<int> lastSequenceOfDay(const std::string& ticketFolder, const st::Moment& day,
                                     const std::string& runDir) {
    const int wanted = dayKey(day);
    int pending = 0;
    if (!runDir.empty()) {
        for (const std::string& journal : journalsIn(runDir)) {
            const JournalContents contents = loadJournal(journal);
            if (!contents.pending) continue;
            const auto parts = parseReceipt(contents.pending->receipt);
            if (parts && parts->day == wanted) pending = std::max(pending, parts->sequence);
        }
    }
    for (const TicketTableFile& table : ticketTablesNewestFirst(ticketFolder)) {
        int highest = 0;
        const st::TableContents tickets =
            st::readAllRecords(table.path, st::schemas::ticket_field::kReceipt);
        for (std::size_t i = 0; i < tickets.recordCount(); ++i) {
            const auto parts =
                parseReceipt(tickets.cells[i * static_cast<std::size_t>(tickets.width)]);
            if (parts && parts->day == wanted) highest = std::max(highest, parts->sequence);
        }
        if (!tickets.opened || !tickets.status.ok()) {
            // Read around the damage: every number the file still holds.
            const auto bytes = readFile(table.path);
            if (!bytes) return std::nullopt;
            highest = std::max(highest, highestSequenceIn(*bytes, wanted));
        }
        if (highest > 0) return std::max(highest, pending);
        if (dayKey(table.start) < wanted) break;
    }
    return pending;
}

ReceiptNumbers::ReceiptNumbers(std::string ticketFolder, std::string tillCode, std::string runDir)
    : m_folder(std::move(ticketFolder)),
      m_till(tillCodeOr(tillCode)),
      m_runDir(std::move(runDir)) {}

void ReceiptNumbers::prime(const st::Moment& now) {
    m_day = dayKey(now);
    m_sequence = lastSequenceOfDay(m_folder, now, m_runDir);
}

std::optional<std::string> ReceiptNumbers::next(const st::Moment& now) {
    if (dayKey(now) != m_day || !m_sequence) prime(now);
    if (!m_sequence) return std::nullopt;
    return receiptNumber(m_till, m_day, ++*m_sequence);
}

}  // namespace shop::checkout
