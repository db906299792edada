// The amounts of the checkout: the running total over the list's rows and the
// change for the tendered amount. Every number comes from a text, read from
// its start ("12元" is 12, "abc" is 0), and the total is kept in single
// precision, rounded once per row.
//
// A single-precision amount stands for the decimal amount of its shortest
// text: the float nearest 3.6 is 3.5999999 in binary, but it is 3.6 yuan to
// the cashier. Sums and differences are therefore formed from those decimal
// values, so that 3 x 1.2 is 3.6 and 400 - 351.8 is 48.2, not one binary step
// beside them.
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

// The shortest plain decimal text that reads back as the same float:
// "3.6", "351.8", "-6", never an exponent; "0" for zero and for NaN.
std::string amountText(float amount);

// "11元": the total label's text.
std::string totalLabelText(float total);
// "-3.5 元": the change label's text (a blank before 元).
std::string changeLabelText(float change);

// Most quantity items one goods offers. The list is there to pick from; a
// stock of millions must not make millions of items (a larger quantity can
// still be typed).
inline constexpr int kMaxQuantityItems = 999;

// The quantities on offer for a stock text: "1" .. "n", n capped at
// kMaxQuantityItems; none for n <= 0.
std::vector<std::string> quantityItems(std::string_view stock);

}  // namespace shop::checkout
