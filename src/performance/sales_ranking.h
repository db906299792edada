// 销售排行: the goods of a query's rows, each with its quantity and revenue
// and its share of the whole, ranked by quantity or by revenue.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sales_query.h"

namespace shop::performance {

struct RankedGoods {
    std::string name;  // the name cell as stored
    long long quantity = 0;
    std::int64_t revenueFen = 0;
    int lines = 0;  // sales rows of this goods
};

enum class RankBy { Quantity, Revenue };

struct SalesRanking {
    std::vector<RankedGoods> goods;
    long long totalQuantity = 0;
    std::int64_t totalRevenueFen = 0;
};

// One entry per distinct name, ranked by `by` (largest first); ties go by
// the other figure, then by name, so the order never depends on the rows'.
SalesRanking rankSales(const std::vector<SalesRow>& rows, RankBy by);
// The same goods ranked again by the other figure.
void rerank(SalesRanking& ranking, RankBy by);

// A share of a whole as a percentage with one decimal, rounded half away
// from zero in integers: 1 of 3 is "33.3%", 2 of 3 "66.7%". "-" when the
// whole is 0 (nothing to share).
std::string shareText(std::int64_t part, std::int64_t whole);

}  // namespace shop::performance
