#include "shop_day.h"

#include <cstdio>

namespace shop::server {

ShopDayTickets shopDayTickets(PgConnection& c, const storage::Moment& day) {
    ShopDayTickets out;
    char iso[16];
    std::snprintf(iso, sizeof iso, "%04d-%02d-%02d", day.year, day.month, day.day);
    const PgResult r = c.exec(
        "SELECT till, ticket_table, receipt, original, sales_table, records, total, tendered,"
        " change, method, cashier, moment FROM tickets"
        " WHERE run_day BETWEEN $1::date - 7 AND $1::date ORDER BY till, run_day, ticket_table, "
        "record",
        {iso});
    if (!r.ok()) {
        out.error = c.failureOf(r);
        return out;
    }
    out.tickets.resize(static_cast<std::size_t>(r.rows()));
    for (int i = 0; i < r.rows(); ++i) {
        ShopTicket& t = out.tickets[static_cast<std::size_t>(i)];
        t.till = r.text(i, 0);
        t.ticketTable = r.text(i, 1);
        for (std::size_t f = 0; f < t.fields.size(); ++f)
            t.fields[f] = r.text(i, static_cast<int>(f) + 2);
    }
    out.ok = true;
    return out;
}

}  // namespace shop::server
