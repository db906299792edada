// The product table as the product window keeps it: three parallel lists,
// entry k of each from record k+1.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace shop::products {

struct Catalog {
    std::vector<std::string> names;
    std::vector<std::string> prices;
    std::vector<std::string> quantities;
};

// Fields 1 to 3 of every record of the open product table at `path`, by the
// read loop from its first record; the table is current afterwards. nullopt
// when it is not open or any read fails: a catalogue that could not be read
// is never taken for an empty one.
std::optional<Catalog> readCatalog(const std::string& path);

enum class StoreResult {
    NoTable,  // the product table is not open: nothing written
    Failed,   // a write failed: the table keeps exactly what it held before
    Stored,   // the table now equals the catalogue
};

// Makes the product table current by its name and replaces its records with
// the catalogue, in list order, in one batch. The lists must be of equal
// length.
StoreResult storeCatalog(const Catalog& catalog);

enum class EmptyResult {
    NoTable,    // the product table is not open: nothing changed
    GoodsKept,  // the goods list could not be emptied: nothing changed
    Failed,     // the goods list was emptied, the product table could not be
    CodesKept,  // both are empty, the barcode table could not be emptied
    Emptied,    // both are empty, and so is the barcode table
};

// Empties the catalogue and, first, the goods list the checkout sells from
// (the product-save table at `productSavePath`), so that no goods name is
// ever left without its product; last the barcode table at `barcodesPath`,
// whose codes would otherwise name goods that are gone (a failure before it
// keeps every code of the goods still there). The product table is current
// afterwards.
EmptyResult emptyCatalogAndGoods(const std::string& productSavePath,
                                 const std::string& barcodesPath);

}  // namespace shop::products
