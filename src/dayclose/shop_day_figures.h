// 全店 in the day close: the whole shop's figures of the day, from the shop
// server's copy of every till's tickets, summed as a till sums its own. They
// are shown, never closed: each till still closes its own drawer. Asked on a
// thread of its own, so the window never waits on the network.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "day_figures.h"
#include "server/shop_day.h"

namespace shop::dayclose {

struct ShopDayResult {
    bool ok = false;
    QString failure;  // why the server gave nothing, for the user
    DayFigures figures;
    int tills = 0;  // tills with a ticket of the day
};

// Whether the run folder joined a shop server (only then is 全店 offered).
bool shopDayAvailable(const std::string& runDir);

// The figures of `day` over every till's tickets (no close mark: the whole
// day). Lines an exit recorded unpaid stay with each till's own close.
ShopDayResult shopDayFigures(const std::vector<server::ShopTicket>& tickets,
                             const storage::Moment& day);

// Asks the server; `done` runs later on the thread of `receiver`, and not at
// all once `receiver` is gone.
void startShopDayQuery(const std::string& runDir, const storage::Moment& day, QObject* receiver,
                       std::function<void(ShopDayResult)> done);

}  // namespace shop::dayclose
