#include "sales_ranking.h"

#include <algorithm>
#include <tuple>
#include <unordered_map>

#include "sale_line.h"
#include "storage/money.h"

namespace shop::performance {

namespace {

// Wide enough for any amount times 2000.
__extension__ using Wide = __int128;

}  // namespace

SalesRanking rankSales(const std::vector<SalesRow>& rows, RankBy by) {
    SalesRanking ranking;
    std::unordered_map<std::string, std::size_t> slot;
    for (const SalesRow& row : rows) {
        const auto [at, added] = slot.try_emplace(row[0], ranking.goods.size());
        if (added) ranking.goods.push_back({row[0], 0, 0, 0});
        RankedGoods& goods = ranking.goods[at->second];
        const SaleLine line = saleLine(row);
        goods.quantity += line.quantity;
        goods.revenueFen = storage::plusFen(goods.revenueFen, line.amountFen);
        ++goods.lines;
        ranking.totalQuantity += line.quantity;
        ranking.totalRevenueFen = storage::plusFen(ranking.totalRevenueFen, line.amountFen);
    }
    rerank(ranking, by);
    return ranking;
}

void rerank(SalesRanking& ranking, RankBy by) {
    std::sort(ranking.goods.begin(), ranking.goods.end(),
              [by](const RankedGoods& a, const RankedGoods& b) {
                  if (by == RankBy::Quantity)
                      return std::tie(b.quantity, b.revenueFen, a.name) <
                             std::tie(a.quantity, a.revenueFen, b.name);
                  return std::tie(b.revenueFen, b.quantity, a.name) <
                         std::tie(a.revenueFen, a.quantity, b.name);
              });
}

std::string shareText(std::int64_t part, std::int64_t whole) {
    if (whole == 0) return "-";
    // Tenths of a percent: part * 1000 / whole, rounded; in 128 bits so that
    // no amount overflows on the way.
    const Wide scaled = static_cast<Wide>(part) * 2000;
    Wide tenths = scaled / whole;
    tenths = tenths >= 0 ? (tenths + 1) / 2 : (tenths - 1) / 2;
    const bool negative = tenths < 0;
    const auto magnitude = static_cast<long long>(negative ? -tenths : tenths);
    return (negative ? "-" : "") + std::to_string(magnitude / 10) + "." +
           std::to_string(magnitude % 10) + "%";
}

}  // namespace shop::performance
