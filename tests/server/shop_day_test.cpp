// 全店 in the day close: the whole shop's figures of a day from every till's
// tickets on the server, told to their day as each till tells its own (by
// the receipt's day, a run going on past midnight included).
#include <gtest/gtest.h>

#include "dayclose/shop_day_figures.h"
#include "server_checks.h"
#include "test_till.h"

namespace shop::test {
namespace {

using checkout::PaymentMethod;

void seedTicket(server::PgConnection& admin, const char* till, const storage::Moment& run,
                int record, const char* receipt, const char* original, const char* total,
                const char* method) {
    const std::string table = "小票" + storage::dateText(run);
    ASSERT_TRUE(admin
                    .exec("INSERT INTO tickets (till, ticket_table, record, receipt, original,"
                          " sales_table, records, total, tendered, change, method, cashier, moment)"
                          " VALUES ($1, $2, $3::integer, $4, $5, 's', '1-1', $6, $6, '0', $7,"
                          " '小李', 'm')",
                          {till, table, std::to_string(record), receipt, original, total, method})
                    .ok())
        << admin.error();
}

TEST(ShopDay, EveryTillsTicketsOfTheDayAddUpAsOneClose) {
    ShopServer& shop = ShopServer::instance();
    shop.reset();
    TestTill till("01", {2026, 12, 10, 8, 0, 0});
    std::string said;
    ASSERT_EQ(till.join(shop.connection("till01"), &said), 0) << said;
    server::PgConnection admin = shop.adminConnection();
    const storage::Moment run01{2026, 12, 10, 8, 0, 0}, run02{2026, 12, 9, 20, 0, 0},
        run03{2026, 12, 11, 7, 0, 0};
    seedTicket(admin, "01", run01, 1, "01-20261210-0001", "", "12元", "现金");
    seedTicket(admin, "01", run01, 2, "01-20261210-0002", "", "8元", "微信");
    // A refund names no method: it gives back the way its sale was paid.
    seedTicket(admin, "01", run01, 3, "01-20261210-0003", "01-20261210-0001", "12元", "");
    seedTicket(admin, "02", run02, 1, "02-20261209-0005", "", "5元", "现金");
    seedTicket(admin, "02", run02, 2, "02-20261210-0001", "", "30元", "支付宝");  // past midnight
    seedTicket(admin, "03", run03, 1, "03-20261211-0001", "", "99元", "银行卡");
    const struct {
        storage::Moment day;
        int sales, refunds, tills;
        checkout::Fen salesTotal, cashNet, weChat, alipay, card;
    } cases[] = {
        {{2026, 12, 10, 0, 0, 0}, 3, 1, 2, 5000, 0, 800, 3000, 0},
        {{2026, 12, 9, 0, 0, 0}, 1, 0, 1, 500, 500, 0, 0, 0},
        {{2026, 12, 11, 0, 0, 0}, 1, 0, 1, 9900, 0, 0, 0, 9900},
        {{2026, 12, 12, 0, 0, 0}, 0, 0, 0, 0, 0, 0, 0, 0},
    };
    const auto file = server::readServerFile(till.dir());
    ASSERT_TRUE(file);
    server::TillSession session = server::openTillSession(till.dir(), *file, {5, 10000});
    ASSERT_TRUE(session.ok()) << session.message("01");
    for (const auto& c : cases) {
        const server::ShopDayTickets tickets = server::shopDayTickets(session.connection, c.day);
        ASSERT_TRUE(tickets.ok) << tickets.error;
        const dayclose::ShopDayResult r = dayclose::shopDayFigures(tickets.tickets, c.day);
        const std::string day = storage::dateText(c.day);
        EXPECT_EQ(r.figures.sales, c.sales) << day;
        EXPECT_EQ(r.figures.refunds, c.refunds) << day;
        EXPECT_EQ(r.tills, c.tills) << day;
        EXPECT_EQ(r.figures.salesTotal, c.salesTotal) << day;
        EXPECT_EQ(r.figures.of(PaymentMethod::Cash).net(), c.cashNet) << day;
        EXPECT_EQ(r.figures.of(PaymentMethod::WeChat).net(), c.weChat) << day;
        EXPECT_EQ(r.figures.of(PaymentMethod::Alipay).net(), c.alipay) << day;
        EXPECT_EQ(r.figures.of(PaymentMethod::Card).net(), c.card) << day;
    }
}

}  // namespace
}  // namespace shop::test
