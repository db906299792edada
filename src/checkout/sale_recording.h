// Writing a run's checkout rows into its sales table when the program is
// left, and saving the goods combo's names into the product-save table.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace shop::checkout {

// The four cells of one checkout row, as shown in the list.
struct SaleRow {
    std::string name;
    std::string price;
    std::string quantity;
    std::string date;
    friend bool operator==(const SaleRow&, const SaleRow&) = default;
};

// Whether every cell fits its field of the sales table. A row that does not
// can never be stored: nothing is cut to fit.
bool fitsSalesTable(const SaleRow& row);

enum class ExitRecording {
    NothingToRecord,     // no rows: the current table was closed
    Recorded,            // every row written and committed
    RecordedAllThatFit,  // every row that fits committed; the others not stored
    Failed,              // no sales table, or a write or the commit failed: nothing stored
};

struct RecordingResult {
    ExitRecording outcome = ExitRecording::Failed;
    // Positions (in `rows`) of the rows that were not stored because a cell
    // does not fit its field; only with RecordedAllThatFit.
    std::vector<std::size_t> unstorable;
    // Records in the sales table after a commit.
    int recordCount = 0;
};

// Appends one record per row, in row order, to the sales table at
// `salesPath`, all in one all-or-nothing batch, so an interrupted or failed
// exit leaves every row or none. The table is selected by its path; when it
// is not open (it could not be created at start, or another window closed
// it) it is created or opened now. A row that can never be stored does not
// hold back the others: they are stored, and that row is named in the result
// for the caller to keep in view.
RecordingResult recordSales(const std::string& salesPath, const std::vector<SaleRow>& rows);

enum class GoodsSave {
    NotSelectable,  // the product-save table is not open
    Saved,          // every name written and committed
    Failed,         // a write or the commit failed (nothing kept), or nothing to write
};

// Replaces the records of the open product-save table with one record per
// name (field 1), in order, in one all-or-nothing replacement. An empty list
// is refused (Failed) and changes nothing.
GoodsSave saveGoodsList(const std::string& productSavePath, const std::vector<std::string>& names);

}  // namespace shop::checkout
