#include "amounts.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

#include "storage/text.h"

namespace shop::checkout {

using storage::leadingDouble;
using storage::leadingInt;

namespace {
// The decimal amount a float stands for: the value of its shortest text.
double decimalValue(float amount) { return std::strtod(amountText(amount).c_str(), nullptr); }
}  // namespace

float checkoutTotal(const std::vector<PricedQuantity>& rows) {
    float total = 0.0f;
    for (const PricedQuantity& row : rows) {
        // The price as written ("1.2" is 1.2, not the float beside it) times
        // the whole quantity, added to the total shown so far, then rounded
        // once to single precision.
        const double line = leadingDouble(row.price) * leadingInt(row.quantity);
        total = static_cast<float>(decimalValue(total) + line);
    }
    return total;
}

float changeFor(std::string_view tendered, float total) {
    return static_cast<float>(leadingDouble(tendered) - decimalValue(total));
}

std::string amountText(float amount) {
    if (std::isnan(amount) || amount == 0.0f) return "0";
    // Fixed notation without a precision is the shortest text that reads
    // back as the same float. The largest float takes 39 digits and a sign.
    char buf[64];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, amount, std::chars_format::fixed);
    if (ec != std::errc()) return "0";
    return std::string(buf, end);
}

std::string totalLabelText(float total) { return amountText(total) + "元"; }

std::string changeLabelText(float change) { return amountText(change) + " 元"; }

std::vector<std::string> quantityItems(std::string_view stock) {
    std::vector<std::string> items;
    const int n = std::min(leadingInt(stock), kMaxQuantityItems);
    if (n <= 0) return items;
    items.reserve(static_cast<std::size_t>(n));
    for (int i = 1; i <= n; ++i) items.push_back(std::to_string(i));
    return items;
}

}  // namespace shop::checkout
