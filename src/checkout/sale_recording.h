// Writing a run's checkout rows into its sales table when the program is
// left, and saving the goods combo's names into the product-save table.
#pragma once

#include <string>
#include <vector>

namespace shop::checkout {

// The four cells of one checkout row, as shown in the list.
struct SaleRow {
    std::string name;
    std::string price;
    std::string quantity;
    std::string date;
};

enum class ExitRecording {
    NothingToRecord,  // no rows: the current table was closed
    NoSalesTable,     // the run's sales table is not open: nothing written
    Recorded,         // every row written and committed
    Failed,           // some write or the commit failed
};

// Appends one record per row, in row order, to the open sales table named by
// `salesPath`, all in one all-or-nothing batch, so an interrupted exit leaves
// every row or none. A row whose field could not be written (a text too long
// for its field) is still kept with its other fields, and the result is
// Failed so that the loss is reported; a failed commit keeps nothing.
ExitRecording recordSales(const std::string& salesPath, const std::vector<SaleRow>& rows);

enum class GoodsSave {
    NotSelectable,  // the product-save table is not open
    Saved,          // every name written and committed
    Failed,         // a write or the commit failed (nothing kept), or nothing to write
};

// Appends one record per name (field 1) to the open product-save table,
// keeping the records already there, all in one all-or-nothing batch.
GoodsSave saveGoodsList(const std::string& productSavePath, const std::vector<std::string>& names);

}  // namespace shop::checkout
