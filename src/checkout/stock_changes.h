// The stock a paid sale moves: each line's goods are found in the product
// table where the line says they stood, or by their name when the record
// there now holds other goods.
#pragma once

#include <string>
#include <vector>

#include "checkout/finished_sale.h"

namespace shop::checkout {

struct StockPlan {
    std::vector<StockChange> changes;
    // What the cashier is told: goods not found, stock that is no number,
    // stock that goes below zero.
    std::vector<std::string> notes;
};

// The changes for `lines` against the product table at `productPath`, one
// per record however many lines sell it. Leaves the current table as it was.
StockPlan planStock(const std::string& productPath, const std::vector<SaleLine>& lines);

}  // namespace shop::checkout
