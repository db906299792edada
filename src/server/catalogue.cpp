#include "catalogue.h"

#include <charconv>

#include "storage/data_paths.h"
#include "storage/table_read_all.h"

namespace shop::server {

std::vector<CatalogueItem> localCatalogue(const std::string& runDir, std::string* error) {
    const storage::DataPaths paths{runDir};
    const storage::TableContents t = storage::readAllRecords(paths.product(), 3);
    std::vector<CatalogueItem> items;
    if (!t.opened || t.width != 3) {
        if (error) *error = t.status.message();
        return items;
    }
    for (std::size_t r = 0; r < t.recordCount(); ++r) {
        CatalogueItem item{t.cells[r * 3], t.cells[r * 3 + 1], 0};
        const std::string& stock = t.cells[r * 3 + 2];
        const auto [end, ec] =
            std::from_chars(stock.data(), stock.data() + stock.size(), item.stock);
        if (ec != std::errc() || end != stock.data() + stock.size()) item.stock = 0;
        items.push_back(std::move(item));
    }
    return items;
}

std::string replaceCatalogue(PgConnection& c, const std::vector<CatalogueItem>& items) {
    std::vector<std::string> names, prices, stocks;
    for (const CatalogueItem& item : items) {
        names.push_back(item.name);
        prices.push_back(item.price);
        stocks.push_back(std::to_string(item.stock));
    }
    for (const auto& [sql, params] : std::vector<std::pair<std::string, std::vector<std::string>>>{
             {"BEGIN", {}},
             {"DELETE FROM products", {}},
             {"INSERT INTO products (position, name, price, stock)"
              " SELECT n, ($1::text[])[n], ($2::text[])[n], ($3::bigint[])[n]"
              " FROM generate_series(1, cardinality($1::text[])) AS n",
              {arrayLiteral(names), arrayLiteral(prices), arrayLiteral(stocks)}},
             {"NOTIFY shop_catalogue", {}},
             {"COMMIT", {}}}) {
        const PgResult r = c.exec(sql, params);
        if (!r.ok()) {
            c.exec("ROLLBACK");
            return r.error().empty() ? c.error() : r.error();
        }
    }
    return {};
}

std::vector<CatalogueItem> serverCatalogue(PgConnection& c, std::string* error) {
    std::vector<CatalogueItem> items;
    const PgResult r = c.exec("SELECT name, price, stock FROM products ORDER BY position");
    if (!r.ok()) {
        if (error) *error = r.error().empty() ? c.error() : r.error();
        return items;
    }
    for (int i = 0; i < r.rows(); ++i)
        items.push_back({r.text(i, 0), r.text(i, 1), r.number(i, 2)});
    return items;
}

}  // namespace shop::server

#include "storage/table.h"
#include "storage/table_replace.h"

namespace shop::server {

namespace {
std::string replaceTable(const std::string& path,
                         std::span<const std::vector<std::string>* const> columns) {
    if (!storage::open(path)) return storage::lastStatus().message();
    const bool replaced = storage::replaceRecords(columns);
    const std::string error = replaced ? "" : storage::lastStatus().message();
    storage::close(path);
    return error;
}
}  // namespace

std::string applyCatalogue(const std::string& runDir, const std::vector<CatalogueItem>& items) {
    if (items.empty()) return "the server's catalogue is empty";
    std::vector<std::string> names, prices, stocks;
    for (const CatalogueItem& item : items) {
        names.push_back(item.name);
        prices.push_back(item.price);
        stocks.push_back(std::to_string(item.stock));
    }
    const storage::DataPaths paths{runDir};
    const std::vector<std::string>* product[] = {&names, &prices, &stocks};
    if (std::string e = replaceTable(paths.product(), product); !e.empty()) return e;
    const std::vector<std::string>* goodsList[] = {&names};
    return replaceTable(paths.productSave(), goodsList);
}

}  // namespace shop::server
