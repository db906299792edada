#include "shop_sales.h"

#include <cstdio>

namespace shop::server {

namespace {
std::string isoDay(const storage::Moment& day) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", day.year, day.month, day.day);
    return text;
}
}  // namespace

ShopSales shopSales(PgConnection& c, const storage::Moment& firstDay,
                    const storage::Moment& lastDay) {
    ShopSales sales;
    const PgResult r = c.exec(
        "SELECT till, name, price, quantity, moment FROM sale_rows"
        " WHERE run_day BETWEEN $1::date AND $2::date ORDER BY run_day, till, run_table, record",
        {isoDay(firstDay), isoDay(lastDay)});
    if (!r.ok()) {
        sales.error = r.error().empty() ? c.error() : r.error();
        return sales;
    }
    sales.rows.resize(static_cast<std::size_t>(r.rows()));
    for (int i = 0; i < r.rows(); ++i) {
        ShopSaleRow& row = sales.rows[static_cast<std::size_t>(i)];
        row.till = r.text(i, 0);
        for (int f = 0; f < 4; ++f) row.cells[static_cast<std::size_t>(f)] = r.text(i, f + 1);
    }
    sales.ok = true;
    return sales;
}

}  // namespace shop::server
