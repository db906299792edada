// One line of the open sale: the four cells the list shows and the sales
// table stores, and where its goods stood in the catalogue when it was added
// (the stock of that product record follows the sale).
#pragma once

#include "checkout/sale_recording.h"

namespace shop::checkout {

struct SaleLine {
    SaleRow row;
    int goodsPosition = -1;  // 0-based position in the goods list; -1: not known
    friend bool operator==(const SaleLine&, const SaleLine&) = default;
};

}  // namespace shop::checkout
