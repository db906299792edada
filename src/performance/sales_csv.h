// The performance window's exports as CSV files for spreadsheets: UTF-8 with
// a byte-order mark (without it common spreadsheet programs take the file
// for a local code page and garble the Chinese), a line of captions, one
// line per row and a totals line; lines end in CR LF. Every stored text goes
// through the shared CSV rule, so a stored "=..." never runs as a formula;
// the numbers the program computes are written as plain numbers.
//
// When the query could not read every sales table, the totals line says
// "（不完整）" and a last line names the tables: a partial total never
// passes for the whole.
#pragma once

#include <string>
#include <vector>

#include "daily_sales.h"
#include "sales_query.h"
#include "sales_ranking.h"

namespace shop::performance {

// The three values of the pie chart.
struct SalesTotals {
    double count = 0;
    double revenue = 0;
    double quantity = 0;
};

// The list: the four stored text columns, then 单价, 数量 and 金额 as numbers
// (yuan, the integer quantity, unit price x quantity). The totals line reads
// "合计 <count> 笔", the revenue under the price column and the quantity
// under the quantity column, as the chart has them, and the quantity and
// amount again under 数量 and 金额.
std::string salesCsv(const std::vector<SalesRow>& rows, const SalesTotals& totals,
                     const std::vector<std::string>& unreadable = {});

// 销售排行: rank, name, quantity and its share, revenue and its share, lines.
std::string rankingCsv(const SalesRanking& ranking, const std::vector<std::string>& unreadable);

// 每日销售: one line per day (date text), the undated rows apart, a total.
std::string dailyCsv(const DailySales& daily, const std::vector<std::string>& unreadable);

}  // namespace shop::performance
