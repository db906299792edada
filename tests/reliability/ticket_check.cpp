#include "ticket_check.h"

#include <algorithm>
#include <map>
#include <set>
#include <utility>
#include <vector>

#include "checkout/ticket_table.h"
#include "storage/data_paths.h"
#include "storage/text.h"
#include "support/run_folder.h"

namespace shop::test {

namespace {

using checkout::Ticket;
using Goods = std::pair<std::string, std::string>;  // name, price
using Counts = std::map<Goods, long long>;

Counts countsOf(const std::vector<std::vector<std::string>>& rows, int first, int last, int sign) {
    Counts counts;
    for (int r = first; r <= last; ++r) {
        const auto& row = rows[static_cast<std::size_t>(r - 1)];
        counts[{row[0], row[1]}] += sign * storage::leadingInt(row[2]);
    }
    return counts;
}

}  // namespace

TicketCheck checkTickets(const std::string& runDir) {
    TicketCheck check;
    std::map<std::string, Counts> sold, back;  // by receipt / by original
    std::set<std::string> receipts;
    auto tables = checkout::ticketTablesNewestFirst(storage::DataPaths{runDir}.ticketFolder());
    std::reverse(tables.begin(), tables.end());
    for (const auto& table : tables) {
        const auto tickets = checkout::readTickets(table.path);
        if (!tickets) {
            ++check.unreadable;
            continue;
        }
        std::map<std::string, std::vector<std::vector<std::string>>> salesOf;
        std::map<std::string, int> next;  // per sales table: the first row not yet named
        for (const Ticket& t : *tickets) {
            ++check.tickets;
            if (!receipts.insert(t.receipt).second) ++check.doubled;
            if (!salesOf.count(t.salesTable))
                salesOf[t.salesTable] =
                    readAll(storage::joinPath(runDir, storage::kSalesFolder, t.salesTable));
            const auto& rows = salesOf[t.salesTable];
            const auto range = t.recordRange();
            int& first = next.try_emplace(t.salesTable, 1).first->second;
            if (!range || range->first < first ||
                static_cast<std::size_t>(range->second) > rows.size()) {
                ++check.dangling;
                continue;
            }
            first = range->second + 1;
            if (t.original.empty()) {
                sold[t.receipt] = countsOf(rows, range->first, range->second, 1);
                continue;
            }
            ++check.refunds;
            for (const auto& [goods, n] : countsOf(rows, range->first, range->second, -1))
                back[t.original][goods] += n;
        }
    }
    for (const auto& [original, goods] : back) {
        const auto it = sold.find(original);
        for (const auto& [g, n] : goods)
            if (it == sold.end() || n > it->second[g]) ++check.overRefunded;
    }
    return check;
}

}  // namespace shop::test
