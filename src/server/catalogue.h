// The shop's catalogue on the server: names in goods-list order, prices,
// stock, and the barcodes that name the goods, replaced whole by the back
// office or edited one step at a time (catalogue_edit.h).
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

// One record of the barcode table: a code and the goods it names.
struct CatalogueCode {
    std::string code;
    std::string goods;
    friend bool operator==(const CatalogueCode&, const CatalogueCode&) = default;
};

struct Catalogue {
    std::vector<CatalogueItem> items;  // in goods-list order
    std::vector<CatalogueCode> codes;  // in the barcode table's order
    long long revision = 0;            // 0: the back office never set one
    friend bool operator==(const Catalogue&, const Catalogue&) = default;
};

// The catalogue as the columns the tables hold: names, prices and stocks in
// goods-list order, then the codes and the goods each names.
struct CatalogueColumns {
    std::vector<std::string> names, prices, stocks, codes, goods;
};
CatalogueColumns columnsOf(const Catalogue& catalogue);

// Replaces the server's catalogue and barcodes in one transaction, and tells
// every listening till; the error, or empty.
std::string replaceCatalogue(PgConnection& office, const Catalogue& catalogue);
// The server's catalogue as it stands, products and codes read in one
// snapshot, so a till never takes codes of a catalogue it did not get.
Catalogue serverCatalogue(PgConnection& connection, std::string* error);

// The run folder's product table in record order (a stock that is not a
// whole number counts as 0) and its barcode table (none when it has no such
// table yet).
Catalogue localCatalogue(const std::string& runDir, std::string* error);

// Writes the server's catalogue into the run folder's product table (name,
// price, stock), product-save table (names, the goods list) and barcode
// table, each in one atomic replacement, so the k-th name still finds the
// k-th product. An empty catalogue is applied only when the back office
// emptied it: a server that never had goods does not empty a till. The
// error, or empty.
std::string applyCatalogue(const std::string& runDir, const Catalogue& catalogue);

}  // namespace shop::server
