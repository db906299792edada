#include "sale_line.h"

#include <algorithm>
#include <limits>
#include <numeric>

#include "storage/date_text.h"
#include "storage/money.h"
#include "storage/text.h"

namespace shop::performance {

namespace {

constexpr int kPriceCell = 1;
constexpr int kQuantityCell = 2;
constexpr int kTimeCell = 3;

}  // namespace

SaleLine saleLine(const SalesRow& row) {
    SaleLine line;
    line.unitFen = storage::leadingFen(row[kPriceCell]);
    line.quantity = storage::leadingInt(row[kQuantityCell]);
    line.amountFen = storage::timesCount(line.unitFen, line.quantity);
    return line;
}

std::optional<long long> saleSecond(const SalesRow& row) {
    return storage::secondOfDateText(row[kTimeCell]);
}

std::optional<long long> saleDay(const SalesRow& row) {
    const auto moment = storage::parseDateText(row[kTimeCell]);
    if (!moment) return std::nullopt;
    return storage::dayNumber(*moment);
}

void sortBySaleMoment(std::vector<SalesRow>& rows) {
    // Each moment is parsed once; rows without one sort last.
    std::vector<long long> keys(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i)
        keys[i] = saleSecond(rows[i]).value_or(std::numeric_limits<long long>::max());
    // Tables are read in order of their runs, so the rows mostly come sorted.
    if (std::is_sorted(keys.begin(), keys.end())) return;
    std::vector<std::size_t> order(rows.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return keys[a] < keys[b]; });
    std::vector<SalesRow> sorted;
    sorted.reserve(rows.size());
    for (std::size_t i : order) sorted.push_back(std::move(rows[i]));
    rows = std::move(sorted);
}

}  // namespace shop::performance
