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

// Opens the product table read-write and reads fields 1 to 3 of every record.
// The table stays open and current for the window's lifetime. nullopt (and
// nothing open) when it cannot be opened.
std::optional<Catalog> openCatalog(const std::string& productPath);

// Replaces every record of the current table with the catalogue, in list
// order, all or nothing: on any failure the table keeps exactly what it held
// before. The lists must be of equal length.
bool rewriteCurrentTable(const Catalog& catalog);

// Makes the product table current by its name and removes every record.
// False when it is not open or cannot be emptied.
bool emptyProductTable();

}  // namespace shop::products
