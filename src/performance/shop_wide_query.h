// 全店: the performance query over every till of the shop, asked of the shop
// server on a thread of its own, so the window never waits on the network.
// The rows come as the till's own query gives them (ordered by their sale
// moment, with the same totals), each with the till that sold it.
#pragma once

#include <QPointer>
#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "sales_query.h"

namespace shop::performance {

struct ShopWideResult {
    bool ok = false;
    QString failure;                 // why the server gave nothing, for the user
    SalesQueryResult sales;          // rows and totals
    std::vector<std::string> tills;  // the till of each row
};

// Whether the run folder joined a shop server (only then is 全店 offered).
bool shopWideAvailable(const std::string& runDir);

// Asks the server; `done` runs later on the thread of `receiver`, and not at
// all once `receiver` is gone.
void startShopWideQuery(const std::string& runDir, const storage::Moment& firstDay,
                        const storage::Moment& lastDay, QObject* receiver,
                        std::function<void(ShopWideResult)> done);

}  // namespace shop::performance
