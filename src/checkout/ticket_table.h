// The ticket table of a run: one record per finished sale or refund, in the
// ticket folder, named like the run's sales table ("小票<date text>.edb").
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "checkout/finished_sale.h"
#include "storage/date_text.h"

namespace shop::checkout {

// 收款记录/小票X.edb for the sales table 销售数据X.edb (a file name).
std::string ticketTablePath(const std::string& runDir, const std::string& salesTable);

// A stored ticket, its fields as texts.
struct Ticket {
    std::string receipt, original, salesTable, records, total, tendered, change, method, cashier,
        moment;
    // The sales records it covers: first and last (1-based); nullopt when
    // the text is not "<first>-<last>".
    std::optional<std::pair<int, int>> recordRange() const;
};

// The ticket record of a finished sale.
Ticket ticketOf(const FinishedSale& sale);

// Makes the folder and the table when missing; true when the table is there.
bool provideTicketTable(const std::string& path);

// A run's ticket table, by the moment the run started.
struct TicketTableFile {
    storage::Moment start;
    std::string path;
};
// The ticket tables in `folder`, newest run first.
std::vector<TicketTableFile> ticketTablesNewestFirst(const std::string& folder);

// Every ticket of the table; nullopt when it cannot be read.
std::optional<std::vector<Ticket>> readTickets(const std::string& path);

}  // namespace shop::checkout
