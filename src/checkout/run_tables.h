// The two tables a run keeps open from start to end: the product-save table,
// whose names fill the goods combo, and this run's sales table.
#pragma once

#include <QStringList>
#include <optional>
#include <string>

namespace shop::checkout {

// Opens the product-save table (read-write; it stays open for the run) and
// reads field 1 of every record, in file order, as the goods combo holds
// them. nullopt when it does not open.
std::optional<QStringList> openGoodsNames(const std::string& productSavePath);

enum class SalesTableStart {
    Opened,      // created (or found from this same second) and open read-write
    NotCreated,  // creation failed: the run goes on without a sales table
    OpenFailed,  // created (or found) but it does not open as a sales table
};

// Creates this run's sales table at `salesPath` and opens it read-write. Two
// runs started within one second share the path; the file the earlier run
// made is then opened and appended to rather than failing, so neither run's
// sales are lost. A file at the path that is not a sales table gives
// OpenFailed.
SalesTableStart startSalesTable(const std::string& salesPath);

}  // namespace shop::checkout
