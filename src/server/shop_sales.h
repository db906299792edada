// The whole shop's sales of a range of days, from the server: every till's
// rows of the runs that started in the range, as the till's own query takes
// its tables by the day in their names.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "server/pg_connection.h"
#include "storage/date_text.h"

namespace shop::server {

struct ShopSaleRow {
    std::string till;
    std::array<std::string, 4> cells;  // name, price, quantity, moment, as the till stored them
};

struct ShopSales {
    bool ok = false;
    std::string error;
    std::vector<ShopSaleRow> rows;
};

ShopSales shopSales(PgConnection& connection, const storage::Moment& firstDay,
                    const storage::Moment& lastDay);

}  // namespace shop::server
