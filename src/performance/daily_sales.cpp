#include "daily_sales.h"

#include <algorithm>
#include <map>

#include "sale_line.h"
#include "storage/money.h"

namespace shop::performance {

namespace {

void add(DaySales& day, const SaleLine& line) {
    day.revenueFen = storage::plusFen(day.revenueFen, line.amountFen);
    day.quantity += line.quantity;
    ++day.lines;
}

}  // namespace

DailySales dailySales(const std::vector<SalesRow>& rows, const storage::Moment& firstDay,
                      const storage::Moment& lastDay) {
    DailySales daily;
    const long long first = storage::dayNumber(firstDay);
    const long long last = storage::dayNumber(lastDay);
    if (storage::isValid(firstDay) && storage::isValid(lastDay) && last >= first) {
        daily.days.resize(static_cast<std::size_t>(last - first + 1));
        for (std::size_t i = 0; i < daily.days.size(); ++i)
            daily.days[i].day = first + static_cast<long long>(i);
    }
    std::map<long long, DaySales> outside;
    for (const SalesRow& row : rows) {
        const SaleLine line = saleLine(row);
        daily.totalRevenueFen = storage::plusFen(daily.totalRevenueFen, line.amountFen);
        const auto day = saleDay(row);
        if (!day) {
            add(daily.undated, line);
        } else if (!daily.days.empty() && *day >= first && *day <= last) {
            add(daily.days[static_cast<std::size_t>(*day - first)], line);
        } else {
            DaySales& other = outside[*day];
            other.day = *day;
            add(other, line);
        }
    }
    for (const auto& [day, sales] : outside) daily.days.push_back(sales);
    std::stable_sort(daily.days.begin(), daily.days.end(),
                     [](const DaySales& a, const DaySales& b) { return a.day < b.day; });
    return daily;
}

}  // namespace shop::performance
