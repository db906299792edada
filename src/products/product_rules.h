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

// The price as the catalogue keeps it: as typed, followed by "元" unless it
// already ends in one (a price copied back from the list keeps its one 元).
std::string catalogPrice(std::string_view typed);

// The question asked before the catalogue of `count` products is emptied.
std::string emptyQuestion(long long count);

}  // namespace shop::products
