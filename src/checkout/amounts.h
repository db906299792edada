// The amounts of the checkout: the running total over the list's rows and the
// change for the tendered amount. Every number comes from a text, read from
// its start ("12元" is 12, "abc" is 0), and the total is kept in single
// precision, rounded once per row.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace shop::checkout {

// The price and quantity texts of one checkout row, as shown in the list.
struct PricedQuantity {
    std::string price;
    std::string quantity;
};

// Sum of price x quantity over the rows, in row order; each step is rounded
// to single precision.
float checkoutTotal(const std::vector<PricedQuantity>& rows);

// tendered (read from its text) minus the total, rounded to single precision;
// negative when too little was handed over.
float changeFor(std::string_view tendered, float total);

// "11元": the total label's text.
std::string totalLabelText(float total);
// "-3.5 元": the change label's text (a blank before 元).
std::string changeLabelText(float change);

// The quantities on offer for a stock text: "1" .. "n"; none for n <= 0.
std::vector<std::string> quantityItems(std::string_view stock);

}  // namespace shop::checkout
