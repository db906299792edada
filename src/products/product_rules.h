// What an add in the product window does with the three boxes, decided only
// by which of them are empty (a box holding blanks is not empty). The price
// and quantity are stored as typed; their form is never examined.
#pragma once

#include <string>
#include <string_view>

namespace shop::products {

struct AddDecision {
    bool accept = false;
    // The message to show when refused; empty: refuse silently.
    std::string message;
};

AddDecision decideAdd(std::string_view name, std::string_view price, std::string_view quantity);

// The price as the catalogue keeps it: as typed, followed by "元" (also when
// it already ends in one: a price copied back from the list gains a second).
std::string catalogPrice(std::string_view typed);

}  // namespace shop::products
