// The shop's catalogue on the server: names in goods-list order, prices and
// stock, replaced whole by the back office.
#pragma once

#include <string>
#include <vector>

#include "server/pg_connection.h"

namespace shop::server {

struct CatalogueItem {
    std::string name;
    std::string price;
    long long stock = 0;
    friend bool operator==(const CatalogueItem&, const CatalogueItem&) = default;
};

// The run folder's product table, in record order (a stock that is not a
// whole number counts as 0).
std::vector<CatalogueItem> localCatalogue(const std::string& runDir, std::string* error);

// Replaces the server's catalogue in one transaction; the error, or empty.
std::string replaceCatalogue(PgConnection& office, const std::vector<CatalogueItem>& items);
std::vector<CatalogueItem> serverCatalogue(PgConnection& connection, std::string* error);

}  // namespace shop::server

namespace shop::server {

// Writes the server's catalogue into the run folder's product table (name,
// price, stock) and product-save table (names, the goods list), each in one
// atomic replacement, so the k-th name still finds the k-th product. An
// empty catalogue is never applied: a server without goods does not empty a
// till. The error, or empty.
std::string applyCatalogue(const std::string& runDir, const std::vector<CatalogueItem>& items);

}  // namespace shop::server
