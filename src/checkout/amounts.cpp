#include "amounts.h"

#include "storage/text.h"

namespace shop::checkout {

using storage::leadingFloat;
using storage::leadingInt;
using storage::numberText;

float checkoutTotal(const std::vector<PricedQuantity>& rows) {
    float total = 0.0f;
    for (const PricedQuantity& row : rows) {
        const float price = leadingFloat(row.price);
        const int quantity = leadingInt(row.quantity);
        // The product and the sum are formed exactly, then rounded once.
        total = static_cast<float>(static_cast<double>(total) +
                                   static_cast<double>(price) * static_cast<double>(quantity));
    }
    return total;
}

float changeFor(std::string_view tendered, float total) {
    return static_cast<float>(static_cast<double>(leadingFloat(tendered)) - total);
}

std::string totalLabelText(float total) { return numberText(total) + "元"; }

std::string changeLabelText(float change) { return numberText(change) + " 元"; }

std::vector<std::string> quantityItems(std::string_view stock) {
    std::vector<std::string> items;
    const int n = leadingInt(stock);
    if (n <= 0) return items;
    items.reserve(static_cast<std::size_t>(n));
    for (int i = 1; i <= n; ++i) items.push_back(std::to_string(i));
    return items;
}

}  // namespace shop::checkout
