// What the trials check of the ticket tables a run folder holds after a
// restart: every ticket names stored rows of its own, no receipt number is
// given twice, and no refund takes back more than its receipt sold.
#pragma once

#include <cstddef>
#include <string>

namespace shop::test {

struct TicketCheck {
    std::size_t tickets = 0;
    std::size_t refunds = 0;
    // Tickets naming rows that are not there, or rows of the ticket before.
    std::size_t dangling = 0;
    std::size_t doubled = 0;  // receipt numbers given more than once
    // Goods of a receipt that its refunds took back more of than it sold
    // (or refunds of a receipt no table holds).
    std::size_t overRefunded = 0;
    std::size_t unreadable = 0;  // ticket or sales tables that do not read
};

TicketCheck checkTickets(const std::string& runDir);

}  // namespace shop::test
