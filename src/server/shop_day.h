// The whole shop's tickets that can belong to a day, from the server: every
// till's tickets of the runs that started in the week up to it (a run goes
// on past midnight); which of them are the day's the caller tells, as the
// till's own day close does.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "server/pg_connection.h"
#include "storage/date_text.h"

namespace shop::server {

struct ShopTicket {
    std::string till;
    std::string ticketTable;  // the run's ticket table, without ".edb"
    // receipt, original, sales table, records, total, tendered, change,
    // method, cashier, moment: the ticket table's fields, as stored.
    std::array<std::string, 10> fields;
};

struct ShopDayTickets {
    bool ok = false;
    std::string error;
    std::vector<ShopTicket> tickets;  // by till, run, record
};

ShopDayTickets shopDayTickets(PgConnection& connection, const storage::Moment& day);

}  // namespace shop::server
