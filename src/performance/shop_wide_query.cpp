#include "shop_wide_query.h"

#include <algorithm>
#include <numeric>

#include "app/background_answer.h"
#include "sale_line.h"
#include "server/shop_sales.h"
#include "server/till_session.h"

namespace shop::performance {

namespace {

constexpr int kParts = 4;

// Ordered by sale moment as the till's own list is; rows of one moment
// keep the server's order (day, till, run, record).
void orderBySaleMoment(server::ShopSales& sales) {
    std::vector<std::size_t> order(sales.rows.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::vector<std::optional<long long>> seconds;
    seconds.reserve(sales.rows.size());
    for (const auto& row : sales.rows) seconds.push_back(saleSecond(row));
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        if (!seconds[a] || !seconds[b]) return seconds[a].has_value() && !seconds[b];
        return *seconds[a] < *seconds[b];
    });
    std::vector<SalesRow> rows;
    std::vector<std::string> tills;
    rows.reserve(order.size());
    tills.reserve(order.size());
    for (const std::size_t i : order) {
        rows.push_back(std::move(sales.rows[i]));
        tills.push_back(std::move(sales.tills[i]));
    }
    sales.rows = std::move(rows);
    sales.tills = std::move(tills);
}

ShopWideResult ask(const std::string& runDir, const storage::Moment& first,
                   const storage::Moment& last) {
    ShopWideResult result;
    const server::Timeouts timeouts{5, 60000};
    server::JoinedSession joined = server::openJoinedSession(runDir, timeouts);
    if (!joined.ok()) {
        result.failure = QString::fromStdString(joined.failure);
        return result;
    }
    // The rows are asked in parts at once, one a core of a small server.
    server::ShopSales sales = server::shopSales(
        joined.session.connection, first, last,
        [&] {
            return server::PgConnection::open(server::tillConnection(runDir, *joined.file),
                                              timeouts);
        },
        kParts);
    if (!sales.ok) {
        result.failure =
            QStringLiteral("门店服务器查询失败：") + QString::fromStdString(sales.error);
        return result;
    }
    if (!sales.ordered) orderBySaleMoment(sales);
    result.sales.rows = std::move(sales.rows);
    result.tills = std::move(sales.tills);
    result.sales.listedAny = true;
    addTotals(result.sales);
    result.ok = true;
    return result;
}

}  // namespace

bool shopWideAvailable(const std::string& runDir) {
    return server::readServerFile(runDir).has_value();
}

void startShopWideQuery(const std::string& runDir, const storage::Moment& firstDay,
                        const storage::Moment& lastDay, QObject* receiver,
                        std::function<void(ShopWideResult)> done) {
    app::answerLater<ShopWideResult>(
        receiver, [runDir, firstDay, lastDay] { return ask(runDir, firstDay, lastDay); },
        std::move(done));
}

}  // namespace shop::performance
