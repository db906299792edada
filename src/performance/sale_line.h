// What one sales row means in numbers: its unit price and amount in whole
// fen, its quantity, and the moment of the sale, all read from the stored
// texts. The list, the CSV, the ranking and the daily chart read a row the
// same way, so their figures agree to the fen.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "sales_query.h"

namespace shop::performance {

struct SaleLine {
    std::int64_t unitFen = 0;    // the price cell: "3.2元" is 320
    int quantity = 0;            // the integer at the start of the quantity cell
    std::int64_t amountFen = 0;  // unit price x quantity
};

SaleLine saleLine(const SalesRow& row);

// Seconds since 0001-01-01 of the moment in the time cell; nullopt when the
// cell holds no date text.
std::optional<long long> saleSecond(const SalesRow& row);
// Day number (storage::dayNumber) of the moment in the time cell.
std::optional<long long> saleDay(const SalesRow& row);

// Orders the rows by their sale moment, earliest first; rows of the same
// moment, and rows without a readable moment (placed after all others),
// keep the order they came in. The set of rows stays as it is.
void sortBySaleMoment(std::vector<SalesRow>& rows);

}  // namespace shop::performance
