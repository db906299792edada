// Price and stock of a goods name, found by its position: item k of the
// goods combo is record k + 1 of the product table.
#pragma once

#include <optional>
#include <string>

namespace shop::checkout {

struct GoodsOffer {
    std::string price;  // field 2, as stored ("12元" stays "12元")
    std::string stock;  // field 3, as stored; the quantities offered come from it
};

// Opens the product table, skips `position` records, reads the price and the
// stock, and closes the current table again. nullopt when the table does not
// open. Past the last record both texts are empty.
std::optional<GoodsOffer> lookupGoods(const std::string& productPath, int position);

}  // namespace shop::checkout
