#include "shop_day_figures.h"

#include <algorithm>
#include <set>

#include "app/background_answer.h"
#include "checkout/receipt_number.h"
#include "server/till_session.h"
#include "storage/data_paths.h"

namespace shop::dayclose {

namespace {

checkout::Ticket ticketOf(const server::ShopTicket& t) {
    const auto& f = t.fields;
    return {f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7], f[8], f[9]};
}

ShopDayResult ask(const std::string& runDir, const storage::Moment& day) {
    ShopDayResult result;
    server::JoinedSession joined = server::openJoinedSession(runDir, {5, 30000});
    if (!joined.ok()) {
        result.failure = QString::fromStdString(joined.failure);
        return result;
    }
    const server::ShopDayTickets tickets = server::shopDayTickets(joined.session.connection, day);
    if (!tickets.ok) {
        result.failure =
            QStringLiteral("门店服务器查询失败：") + QString::fromStdString(tickets.error);
        return result;
    }
    return shopDayFigures(tickets.tickets, day);
}

}  // namespace

bool shopDayAvailable(const std::string& runDir) {
    return server::readServerFile(runDir).has_value();
}

ShopDayResult shopDayFigures(const std::vector<server::ShopTicket>& tickets,
                             const storage::Moment& day) {
    // One run per till and ticket table, oldest first, as the till's own
    // day reads its runs.
    DayRecords records;
    std::set<std::string> tills;
    for (std::size_t i = 0; i < tickets.size(); ++i) {
        const server::ShopTicket& t = tickets[i];
        if (i == 0 || t.till != tickets[i - 1].till ||
            t.ticketTable != tickets[i - 1].ticketTable) {
            RunRecords run;
            if (!runStartOf(t.ticketTable + ".edb", storage::kTicketPrefix, run.start)) continue;
            records.runs.push_back(std::move(run));
        }
        if (records.runs.empty()) continue;
        records.runs.back().tickets.push_back(ticketOf(t));
    }
    std::stable_sort(
        records.runs.begin(), records.runs.end(),
        [](const RunRecords& a, const RunRecords& b) { return earlier(a.start, b.start); });
    ShopDayResult result;
    result.figures = dayFigures(records, day, std::nullopt);
    for (const server::ShopTicket& t : tickets)
        if (const auto parts = checkout::parseReceipt(t.fields[0]);
            parts && parts->day == checkout::dayKey(day))
            tills.insert(t.till);
    result.tills = static_cast<int>(tills.size());
    result.ok = true;
    return result;
}

void startShopDayQuery(const std::string& runDir, const storage::Moment& day, QObject* receiver,
                       std::function<void(ShopDayResult)> done) {
    app::answerLater<ShopDayResult>(
        receiver, [runDir, day] { return ask(runDir, day); }, std::move(done));
}

}  // namespace shop::dayclose
