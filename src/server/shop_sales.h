// The whole shop's sales of a range of days, from the server: every till's
// rows of the runs that started in the range, as the till's own query takes
// its tables by the day in their names.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "server/pg_connection.h"
#include "storage/date_text.h"

namespace shop::server {

struct ShopSales {
    bool ok = false;
    std::string error;
    // name, price, quantity, moment, as the till stored them, and the till.
    std::vector<std::array<std::string, 4>> rows;
    std::vector<std::string> tills;
    // The rows come in the till's own list order already: by the sale's
    // second, rows of one second by day, till, run and record. When any row
    // came without its second (stored before tills sent it, or a cell that
    // names no moment) they come by day, till, run and record, and the
    // caller orders them by their moments.
    bool ordered = false;
};

// Asks on `connection`. With `more` (a further connection of the same
// sign-in) the rows are asked in `parts` ranges of their seconds at once,
// each on a connection of its own and read on a thread of its own, and put
// together in order: the server's and this machine's cores share the work.
ShopSales shopSales(PgConnection& connection, const storage::Moment& firstDay,
                    const storage::Moment& lastDay,
                    const std::function<PgConnection()>& more = nullptr, int parts = 1);

}  // namespace shop::server
