#include "ticket_table.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <system_error>
#include <tuple>

#include "storage/data_paths.h"
#include "storage/schemas.h"
#include "storage/table.h"
#include "storage/table_read_all.h"

namespace shop::checkout {

namespace fs = std::filesystem;
namespace st = shop::storage;

namespace {
std::string* fieldsOf(Ticket& t, std::size_t i) {
    std::string* fields[] = {&t.receipt,  &t.original, &t.salesTable, &t.records, &t.total,
                             &t.tendered, &t.change,   &t.method,     &t.cashier, &t.moment};
    return fields[i];
}
constexpr std::size_t kFields = 10;
}  // namespace

std::string ticketTablePath(const std::string& runDir, const std::string& salesTable) {
    const std::string prefix = st::kSalesPrefix;
    const std::string run = salesTable.compare(0, prefix.size(), prefix) == 0
                                ? salesTable.substr(prefix.size())
                                : salesTable;
    return st::joinPath(runDir, st::kTicketFolder, st::kTicketPrefix + run);
}

std::optional<std::pair<int, int>> Ticket::recordRange() const {
    const std::size_t dash = records.find('-');
    if (dash == std::string::npos) return std::nullopt;
    int first = 0, last = 0;
    const char* begin = records.data();
    const char* end = begin + records.size();
    const auto a = std::from_chars(begin, begin + dash, first);
    const auto b = std::from_chars(begin + dash + 1, end, last);
    if (a.ec != std::errc() || a.ptr != begin + dash || b.ec != std::errc() || b.ptr != end ||
        first < 1 || last < first - 1)
        return std::nullopt;
    return std::pair(first, last);
}

Ticket ticketOf(const FinishedSale& sale) {
    const int last = sale.firstRecord + static_cast<int>(sale.lines.size()) - 1;
    return {sale.receipt,
            sale.original,
            sale.salesTable,
            std::to_string(sale.firstRecord) + "-" + std::to_string(last),
            storedYuan(sale.total),
            storedYuan(sale.tendered),
            storedYuan(sale.change),
            methodText(sale.method),
            sale.cashier,
            sale.moment};
}

bool provideTicketTable(const std::string& path) {
    std::error_code ec;
    fs::create_directories(fs::path(path).parent_path(), ec);
    const st::Status made = st::createTable(path, st::schemas::tickets());
    return made.ok() || made.code() == st::Status::Code::Exists;
}

std::vector<TicketTableFile> ticketTablesNewestFirst(const std::string& folder) {
    std::vector<TicketTableFile> tables;
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
    std::sort(tables.begin(), tables.end(),
              [&](const TicketTableFile& a, const TicketTableFile& b) {
                  return key(a.start) > key(b.start);
              });
    return tables;
}

std::optional<std::vector<Ticket>> readTickets(const std::string& path) {
    const st::TableContents contents = st::readAllRecords(path, static_cast<int>(kFields));
    if (!contents.opened || contents.width != static_cast<int>(kFields)) return std::nullopt;
    std::vector<Ticket> tickets(contents.recordCount());
    for (std::size_t r = 0; r < tickets.size(); ++r)
        for (std::size_t f = 0; f < kFields; ++f)
            *fieldsOf(tickets[r], f) = contents.cells[r * kFields + f];
    return tickets;
}

}  // namespace shop::checkout
