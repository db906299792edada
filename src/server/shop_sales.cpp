#include "shop_sales.h"

#include <cstdio>
#include <thread>

namespace shop::server {

namespace {

std::string isoDay(const storage::Moment& day) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", day.year, day.month, day.day);
    return text;
}

constexpr const char* kRows =
    "SELECT till, name, price, quantity, moment FROM sale_rows"
    " WHERE run_day BETWEEN $1::date AND $2::date";

// Rows of one part: [from, to) of their seconds.
PgResult askPart(PgConnection& c, const std::vector<std::string>& range, long long from,
                 long long to) {
    return c.exec(std::string(kRows) +
                      " AND sale_second >= $3::bigint AND sale_second < $4::bigint"
                      " ORDER BY sale_second, run_day, till, run_table, record",
                  {range[0], range[1], std::to_string(from), std::to_string(to)});
}

void decode(const PgResult& r, ShopSales& into, std::size_t at) {
    for (int i = 0; i < r.rows(); ++i) {
        const std::size_t k = at + static_cast<std::size_t>(i);
        into.tills[k] = r.view(i, 0);
        for (int f = 0; f < 4; ++f) into.rows[k][static_cast<std::size_t>(f)] = r.view(i, f + 1);
    }
}

}  // namespace

ShopSales shopSales(PgConnection& c, const storage::Moment& firstDay,
                    const storage::Moment& lastDay, const std::function<PgConnection()>& more,
                    int parts) {
    ShopSales sales;
    const std::vector<std::string> range = {isoDay(firstDay), isoDay(lastDay)};
    const auto fail = [&](const std::string& error) {
        sales.error = error.empty() ? c.error() : error;
        return sales;
    };
    const PgResult span = c.exec(
        "SELECT EXISTS (SELECT FROM sale_rows WHERE run_day BETWEEN $1::date AND $2::date"
        " AND sale_second IS NULL), min(sale_second), max(sale_second) FROM sale_rows"
        " WHERE run_day BETWEEN $1::date AND $2::date",
        range);
    if (!span.ok()) return fail(span.error());
    sales.ordered = span.text(0, 0) == "f";
    const long long first = span.number(0, 1), last = span.number(0, 2);
    if (!more || parts < 2 || !sales.ordered || last - first < parts) parts = 1;

    std::vector<PgResult> results(static_cast<std::size_t>(parts));
    std::vector<std::string> errors(results.size());
    const auto bound = [&](int k) { return first + (last - first + 1) * k / parts; };
    {
        std::vector<std::thread> others;
        for (int k = 1; k < parts; ++k)
            others.emplace_back([&, k] {
                PgConnection own = more();
                const auto at = static_cast<std::size_t>(k);
                results[at] = askPart(own, range, bound(k), bound(k + 1));
                if (!results[at].ok()) errors[at] = own.failureOf(results[at]);
            });
        results[0] = parts > 1 ? askPart(c, range, bound(0), bound(1))
                               : c.exec(std::string(kRows) + " ORDER BY " +
                                            (sales.ordered ? "sale_second, " : "") +
                                            "run_day, till, run_table, record",
                                        range);
        if (!results[0].ok()) errors[0] = c.failureOf(results[0]);
        for (std::thread& t : others) t.join();
    }
    for (const std::string& e : errors)
        if (!e.empty()) return fail(e);

    std::vector<std::size_t> at(results.size() + 1, 0);
    for (std::size_t k = 0; k < results.size(); ++k)
        at[k + 1] = at[k] + static_cast<std::size_t>(results[k].rows());
    sales.rows.resize(at.back());
    sales.tills.resize(at.back());
    {
        std::vector<std::thread> others;
        for (std::size_t k = 1; k < results.size(); ++k)
            others.emplace_back([&, k] { decode(results[k], sales, at[k]); });
        decode(results[0], sales, 0);
        for (std::thread& t : others) t.join();
    }
    sales.ok = true;
    return sales;
}

}  // namespace shop::server
