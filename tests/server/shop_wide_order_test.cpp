// The whole shop's rows come in the till's own list order: by the sale's
// second, rows of one second by day, till, run and record. The server orders
// them by the second each till sent with its rows; rows stored without one
// are ordered by the till that asks, to the same order.
#include <gtest/gtest.h>

#include <QEventLoop>

#include "performance/shop_wide_query.h"
#include "server_checks.h"
#include "test_till.h"

namespace shop::test {
namespace {

struct Seeded {
    const char* till;
    const char* run;  // the run's sales table, without ".edb"
    int record;
    const char* moment;
};

// Stored in this order, which is not the list's.
const Seeded kRows[] = {
    {"02", "销售数据2026年12月10日8时0分0秒", 1, "2026年12月10日9时30分0秒"},
    {"01", "销售数据2026年12月10日7时0分0秒", 2, "2026年12月10日9时30分0秒"},
    {"01", "销售数据2026年12月10日7时0分0秒", 1, "2026年12月10日9时45分0秒"},
    {"02", "销售数据2026年12月10日8时0分0秒", 2, "2026年12月10日8时5分0秒"},
    {"01", "销售数据2026年12月10日7时0分0秒", 3, "没有时间"},
    {"03", "销售数据2026年12月9日20时0分0秒", 1, "2026年12月10日0时10分0秒"},
};

performance::ShopWideResult askTheShop(const std::string& runDir) {
    performance::ShopWideResult result;
    QEventLoop loop;
    QObject receiver;
    performance::startShopWideQuery(runDir, {2026, 12, 9}, {2026, 12, 10}, &receiver,
                                    [&](performance::ShopWideResult r) {
                                        result = std::move(r);
                                        loop.quit();
                                    });
    loop.exec();
    return result;
}

TEST(ShopWideOrder, TheServersOrderIsTheTillsOwn) {
    ShopServer& shop = ShopServer::instance();
    const struct {
        const char* what;
        bool secondsSent;
    } cases[] = {{"every row with its second", true}, {"rows stored without one", false}};
    // Till, record: by moment; one second's rows by day, till, run, record;
    // the row without a moment last.
    const std::vector<std::string> expected = {"03/1", "02/2", "01/2", "02/1", "01/1", "01/3"};
    for (const auto& c : cases) {
        shop.reset();
        TestTill till("01", {2026, 12, 10, 7, 0, 0});
        std::string said;
        ASSERT_EQ(till.join(shop.connection("till01"), &said), 0) << said;
        server::PgConnection admin = shop.adminConnection();
        for (const Seeded& row : kRows) {
            const auto second = storage::secondOfDateText(row.moment);
            const std::string secondText = c.secondsSent && second ? std::to_string(*second) : "";
            ASSERT_TRUE(
                admin
                    .exec("INSERT INTO sale_rows (till, run_table, record, name, price,"
                          " quantity, moment, sale_second) VALUES ($1, $2, $3::integer,"
                          " $6, '1', '1', $4, nullif($5, '')::bigint)",
                          {row.till, row.run, std::to_string(row.record), row.moment, secondText,
                           std::string(row.till) + "/" + std::to_string(row.record)})
                    .ok())
                << admin.error();
        }
        const performance::ShopWideResult r = askTheShop(till.dir());
        ASSERT_TRUE(r.ok) << r.failure.toStdString();
        std::vector<std::string> order;
        for (const auto& row : r.sales.rows) order.push_back(row[0]);
        EXPECT_EQ(order, expected) << c.what;
    }
}

TEST(ShopWideOrder, ATillSendsEachRowsSecond) {
    ShopServer& shop = ShopServer::instance();
    shop.reset();
    TestTill till("01", {2026, 12, 10, 8, 0, 0});
    std::string said;
    ASSERT_EQ(till.join(shop.connection("till01"), &said), 0) << said;
    till.beginRun();
    ASSERT_TRUE(till.sell(0, 2));
    ASSERT_TRUE(till.sell(1, 1));
    till.endRun();
    till.startUploader();
    ASSERT_TRUE(waitUntil([] { return serverCounts().rows == 2; }, 60));
    server::PgConnection admin = shop.adminConnection();
    const server::PgResult r =
        admin.exec("SELECT moment, coalesce(sale_second::text, '') FROM sale_rows ORDER BY record");
    ASSERT_EQ(r.rows(), 2);
    for (int i = 0; i < r.rows(); ++i) {
        const auto second = storage::secondOfDateText(r.text(i, 0));
        EXPECT_EQ(r.text(i, 1), second ? std::to_string(*second) : "") << r.text(i, 0);
    }
}

}  // namespace
}  // namespace shop::test
