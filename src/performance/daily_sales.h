// 每日销售: the revenue of a query's rows per calendar day of the sale, for
// the daily chart and its export.
#pragma once

#include <cstdint>
#include <vector>

#include "sales_query.h"
#include "storage/date_text.h"

namespace shop::performance {

struct DaySales {
    long long day = 0;  // storage::dayNumber of the day
    std::int64_t revenueFen = 0;
    long long quantity = 0;
    int lines = 0;
};

struct DailySales {
    // Every day of the range, in order, with or without sales; and any day
    // outside it on which a row was sold (a run that went on past midnight
    // at the range's end), so that the days add up to the whole.
    std::vector<DaySales> days;
    // Rows whose time cell holds no moment: counted, on no day.
    DaySales undated;
    std::int64_t totalRevenueFen = 0;
};

// The rows by the day of their sale moment, over the days first..last (none
// when the last day is before the first).
DailySales dailySales(const std::vector<SalesRow>& rows, const storage::Moment& firstDay,
                      const storage::Moment& lastDay);

}  // namespace shop::performance
