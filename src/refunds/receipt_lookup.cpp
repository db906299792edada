#include "receipt_lookup.h"

#include <algorithm>
#include <map>
#include <set>
#include <utility>

#include "checkout/receipt_number.h"
#include "checkout/sale_journal.h"
#include "storage/data_paths.h"
#include "storage/table_read_all.h"
#include "storage/text.h"

namespace shop::refunds {

namespace st = shop::storage;
using checkout::FinishedSale;
using checkout::SaleRow;
using checkout::Ticket;
using checkout::TicketTableFile;

namespace {

constexpr int kSalesFields = 4;
using Goods = std::pair<std::string, std::string>;  // name and price text

long long startDay(const TicketTableFile& table) { return st::dayNumber(table.start); }

st::Moment dayOf(int key) { return {key / 10000, key / 100 % 100, key % 100, 0, 0, 0}; }

// The ticket tables that may hold tickets of `day`, newest first: those of
// the runs started that day and the newest run before it, which may have
// gone on past midnight.
std::vector<TicketTableFile> tablesOfDay(const std::vector<TicketTableFile>& all, long long day) {
    std::vector<TicketTableFile> out;
    for (const TicketTableFile& table : all) {
        if (startDay(table) > day) continue;
        out.push_back(table);
        if (startDay(table) < day) break;
    }
    return out;
}

// The sales rows a ticket covers; nullopt when its sales table does not
// read whole or lacks them.
std::optional<std::vector<SaleRow>> ticketRows(const std::string& runDir, const Ticket& ticket) {
    const auto range = ticket.recordRange();
    if (!range || !st::isSafeTableName(ticket.salesTable)) return std::nullopt;
    const st::TableContents table =
        st::readAllRecords(st::joinPath(runDir, st::kSalesFolder, ticket.salesTable), kSalesFields);
    if (!table.opened || !table.status.ok() || table.width != kSalesFields ||
        table.recordCount() < static_cast<std::size_t>(range->second))
        return std::nullopt;
    std::vector<SaleRow> rows;
    for (int r = range->first - 1; r < range->second; ++r) {
        const auto* cell = &table.cells[static_cast<std::size_t>(r) * kSalesFields];
        rows.push_back({cell[0], cell[1], cell[2], cell[3]});
    }
    return rows;
}

void countBack(std::map<Goods, long long>& back, const std::vector<SaleRow>& rows) {
    for (const SaleRow& row : rows) {
        const int quantity = st::leadingInt(row.quantity);
        if (quantity < 0) back[{row.name, row.price}] -= quantity;
    }
}

ReceiptLookup unreadable(std::string path) {
    ReceiptLookup out;
    out.outcome = LookupOutcome::Unreadable;
    out.unreadable = std::move(path);
    return out;
}

}  // namespace

ReceiptLookup lookUpReceipt(const std::string& runDir, const std::string& receipt,
                            const std::optional<FinishedSale>& pending) {
    ReceiptLookup out;
    const auto parts = checkout::parseReceipt(receipt);
    if (!parts) {
        out.outcome = LookupOutcome::NotAReceiptNumber;
        return out;
    }
    const std::vector<TicketTableFile> all =
        checkout::ticketTablesNewestFirst(st::DataPaths{runDir}.ticketFolder());
    const long long day = st::dayNumber(dayOf(parts->day));
    // The original's table; refunds can only be in it or in later ones.
    std::optional<std::size_t> at;
    for (std::size_t i = 0; i < all.size() && !at; ++i) {
        if (startDay(all[i]) > day) continue;
        const auto tickets = checkout::readTickets(all[i].path);
        if (!tickets) return unreadable(all[i].path);
        const auto found = std::find_if(tickets->begin(), tickets->end(),
                                        [&](const Ticket& t) { return t.receipt == receipt; });
        if (found != tickets->end()) {
            out.ticket = *found;
            at = i;
        } else if (startDay(all[i]) < day) {
            return out;  // NotFound
        }
    }
    if (!at) return out;
    if (!out.ticket.original.empty()) {
        out.outcome = LookupOutcome::IsARefund;
        return out;
    }
    const auto rows = ticketRows(runDir, out.ticket);
    if (!rows) return unreadable(st::joinPath(runDir, st::kSalesFolder, out.ticket.salesTable));

    std::map<Goods, long long> back;
    std::set<std::string> counted;  // refund receipts already counted
    for (std::size_t i = *at + 1; i-- > 0;) {
        const auto tickets = checkout::readTickets(all[i].path);
        if (!tickets) return unreadable(all[i].path);
        for (const Ticket& t : *tickets) {
            if (t.original != receipt || !counted.insert(t.receipt).second) continue;
            const auto refunded = ticketRows(runDir, t);
            if (!refunded) return unreadable(st::joinPath(runDir, st::kSalesFolder, t.salesTable));
            countBack(back, *refunded);
        }
    }
    std::vector<FinishedSale> waiting;
    for (const std::string& journal : checkout::journalsIn(runDir))
        if (auto contents = checkout::loadJournal(journal); contents.pending)
            waiting.push_back(std::move(*contents.pending));
    if (pending) waiting.push_back(*pending);
    for (const FinishedSale& refund : waiting) {
        if (refund.original != receipt || !counted.insert(refund.receipt).second) continue;
        std::vector<SaleRow> refunded;
        for (const auto& line : refund.lines) refunded.push_back(line.row);
        countBack(back, refunded);
    }

    // What came back is set against the receipt's lines in their order.
    for (const SaleRow& row : *rows) {
        ReceiptLine line{row, std::max(0, st::leadingInt(row.quantity)), 0};
        long long& left = back[{row.name, row.price}];
        line.refunded = static_cast<int>(std::min<long long>(line.sold, left));
        left -= line.refunded;
        out.lines.push_back(std::move(line));
    }
    out.outcome = LookupOutcome::Found;
    return out;
}

std::vector<std::string> salesOfDay(const std::string& runDir, const storage::Moment& day) {
    const int key = checkout::dayKey(day);
    std::vector<TicketTableFile> tables =
        tablesOfDay(checkout::ticketTablesNewestFirst(st::DataPaths{runDir}.ticketFolder()),
                    st::dayNumber(day));
    std::reverse(tables.begin(), tables.end());
    std::vector<std::string> receipts;
    for (const TicketTableFile& table : tables) {
        const auto tickets = checkout::readTickets(table.path);
        if (!tickets) continue;
        for (const Ticket& t : *tickets) {
            const auto parts = checkout::parseReceipt(t.receipt);
            if (parts && parts->day == key && t.original.empty()) receipts.push_back(t.receipt);
        }
    }
    return receipts;
}

}  // namespace shop::refunds
