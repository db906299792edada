#include "catalogue.h"

namespace shop::server {

CatalogueColumns columnsOf(const Catalogue& catalogue) {
    CatalogueColumns c;
    for (const CatalogueItem& item : catalogue.items) {
        c.names.push_back(item.name);
        c.prices.push_back(item.price);
        c.stocks.push_back(std::to_string(item.stock));
    }
    for (const CatalogueCode& code : catalogue.codes) {
        c.codes.push_back(code.code);
        c.goods.push_back(code.goods);
    }
    return c;
}

std::string replaceCatalogue(PgConnection& c, const Catalogue& catalogue) {
    const auto [names, prices, stocks, codes, goods] = columnsOf(catalogue);
    for (const auto& [sql, params] : std::vector<std::pair<std::string, std::vector<std::string>>>{
             {"BEGIN", {}},
             {"DELETE FROM products", {}},
             {"DELETE FROM barcodes", {}},
             {"INSERT INTO products (position, name, price, stock)"
              " SELECT n, ($1::text[])[n], ($2::text[])[n], ($3::bigint[])[n]"
              " FROM generate_series(1, cardinality($1::text[])) AS n",
              {arrayLiteral(names), arrayLiteral(prices), arrayLiteral(stocks)}},
             {"INSERT INTO barcodes (position, code, goods)"
              " SELECT n, ($1::text[])[n], ($2::text[])[n]"
              " FROM generate_series(1, cardinality($1::text[])) AS n",
              {arrayLiteral(codes), arrayLiteral(goods)}},
             {"UPDATE catalogue_revision SET revision = revision + 1", {}},
             {"NOTIFY shop_catalogue", {}},
             {"COMMIT", {}}}) {
        const PgResult r = c.exec(sql, params);
        if (!r.ok()) {
            const std::string error = c.failureOf(r);
            c.exec("ROLLBACK");
            return error;
        }
    }
    return {};
}

Catalogue serverCatalogue(PgConnection& c, std::string* error) {
    Catalogue catalogue;
    const auto fail = [&](const PgResult& r) {
        if (error) *error = c.failureOf(r);
        c.exec("ROLLBACK");
        return Catalogue{};
    };
    if (const PgResult r = c.exec("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY"); !r.ok())
        return fail(r);
    const PgResult items = c.exec("SELECT name, price, stock FROM products ORDER BY position");
    if (!items.ok()) return fail(items);
    const PgResult codes = c.exec("SELECT code, goods FROM barcodes ORDER BY position");
    if (!codes.ok()) return fail(codes);
    const PgResult revision = c.exec("SELECT revision FROM catalogue_revision");
    if (!revision.ok()) return fail(revision);
    catalogue.revision = revision.number(0, 0);
    if (const PgResult r = c.exec("COMMIT"); !r.ok()) return fail(r);
    for (int i = 0; i < items.rows(); ++i)
        catalogue.items.push_back({items.text(i, 0), items.text(i, 1), items.number(i, 2)});
    for (int i = 0; i < codes.rows(); ++i)
        catalogue.codes.push_back({codes.text(i, 0), codes.text(i, 1)});
    return catalogue;
}

}  // namespace shop::server
