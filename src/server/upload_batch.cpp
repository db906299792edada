#include "upload_batch.h"

#include <vector>

#include "storage/date_text.h"

namespace shop::server {

namespace {

// The sales rows; the units of each goods stored now come off the stock of
// its first catalogue record of that name. A quantity that is not a whole
// number moves no stock (the till said so when it sold it).
constexpr const char* kSalesSql = R"(
WITH stored AS (
  INSERT INTO sale_rows (till, run_table, record, name, price, quantity, moment, sale_second)
  SELECT $1, $2, $3::integer + n - 1, v[1], v[2], v[3], v[4], ($6::bigint[])[n]
  FROM (SELECT n, ($4::text[])[n * 4 - 3 : n * 4] AS v
        FROM generate_series(1, $5::integer) AS n) AS rows
  ON CONFLICT DO NOTHING
  RETURNING name, quantity),
units AS (
  SELECT name, sum(CASE WHEN quantity ~ '^-?[0-9]{1,9}$' THEN quantity::bigint ELSE 0 END) AS n,
         count(*) AS rows
  FROM stored GROUP BY name),
moved AS (
  UPDATE products p SET stock = p.stock - units.n FROM units
  WHERE p.position = (SELECT min(position) FROM products WHERE name = units.name)
  RETURNING p.position)
SELECT coalesce(sum(rows), 0), (SELECT count(*) FROM moved) FROM units)";

constexpr const char* kTicketsSql = R"(
WITH stored AS (
  INSERT INTO tickets (till, ticket_table, record, receipt, original, sales_table, records,
                       total, tendered, change, method, cashier, moment)
  SELECT $1, $2, $3::integer + n - 1, v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9], v[10]
  FROM (SELECT n, ($4::text[])[n * 10 - 9 : n * 10] AS v
        FROM generate_series(1, $5::integer) AS n) AS rows
  ON CONFLICT DO NOTHING
  RETURNING 1)
SELECT count(*) FROM stored)";

// The second of each row's sale moment, sent beside the row: the shop-wide
// query orders by it on the server, as the till's own list orders by the
// same parse of the same text. NULL for a cell that names no moment.
std::string saleSeconds(const std::vector<std::string>& cells, int count) {
    std::string literal = "{";
    for (int r = 0; r < count; ++r) {
        if (r) literal += ',';
        const auto second = storage::secondOfDateText(cells[static_cast<std::size_t>(r) * 4 + 3]);
        literal += second ? std::to_string(*second) : std::string("NULL");
    }
    return literal + "}";
}

}  // namespace

BatchResult uploadBatch(PgConnection& c, const std::string& till, const OutboxTable& table,
                        int offset, int count) {
    BatchResult result;
    const auto begin = table.cells.begin() + static_cast<std::ptrdiff_t>(offset) * table.width;
    const std::vector<std::string> cells(begin,
                                         begin + static_cast<std::ptrdiff_t>(count) * table.width);
    const PgResult began = c.exec("BEGIN");
    if (!began.ok()) {
        result.error = c.failureOf(began);
        return result;
    }
    if (table.kind == TableKind::Sales) {
        // The goods' stock rows are locked in catalogue order first: two
        // tills selling the same goods then queue instead of deadlocking.
        std::vector<std::string> names;
        for (int r = 0; r < count; ++r) names.push_back(cells[static_cast<std::size_t>(r) * 4]);
        const PgResult locked = c.exec(
            "SELECT position FROM products WHERE name = ANY($1::text[]) ORDER BY position"
            " FOR UPDATE",
            {arrayLiteral(names)});
        if (!locked.ok()) {
            result.error = locked.error();
            c.exec("ROLLBACK");
            return result;
        }
    }
    std::vector<std::string> params = {till, table.name, std::to_string(table.first + offset),
                                       arrayLiteral(cells), std::to_string(count)};
    if (table.kind == TableKind::Sales) params.push_back(saleSeconds(cells, count));
    const PgResult stored =
        c.exec(table.kind == TableKind::Sales ? kSalesSql : kTicketsSql, params);
    if (!stored.ok()) {
        result.error = stored.error();
        c.exec("ROLLBACK");
        return result;
    }
    const PgResult committed = c.exec("COMMIT");
    if (!committed.ok()) {
        // Whether the server kept it is unknown: the cursor stays, and the
        // replay stores only what is missing.
        result.error = c.failureOf(committed);
        return result;
    }
    result.committed = true;
    result.stored = static_cast<int>(stored.number(0, 0));
    return result;
}

}  // namespace shop::server
