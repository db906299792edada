// The performance window's result list as a CSV file for spreadsheets: UTF-8
// with a byte-order mark (without it common spreadsheet programs take the
// file for a local code page and garble the Chinese), the column captions,
// one line per row, and a totals line with the chart's three values.
#pragma once

#include <string>
#include <vector>

#include "sales_query.h"

namespace shop::performance {

// The three values of the pie chart.
struct SalesTotals {
    double count = 0;
    double revenue = 0;
    double quantity = 0;
};

// The whole file's bytes, lines ended by CR LF. Every cell goes through the
// shared CSV rule, so a stored "=..." never runs as a formula. The totals
// line reads "合计 <count> 笔", the revenue under the price column and the
// quantity under the quantity column, as plain numbers.
std::string salesCsv(const std::vector<SalesRow>& rows, const SalesTotals& totals);

}  // namespace shop::performance
