// 全店 in the performance window: every till's sales of the range from the
// shop server, in the same columns and totals as 本机, plus the till.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDateEdit>
#include <QPieSeries>
#include <QPushButton>
#include <QTest>
#include <QTreeView>
#include <cstdlib>

#include "app/run_directory.h"
#include "performance/performance_window.h"
#include "server_checks.h"
#include "support/window_probe.h"
#include "test_till.h"

namespace shop::test {
namespace {

using Rows = std::vector<std::vector<std::string>>;

Rows listRows(const performance::PerformanceWindow& w) {
    return modelRows(*w.findChild<QTreeView*>(QStringLiteral("超级列表框_业绩"))->model());
}

std::vector<double> chartValues(const performance::PerformanceWindow& w) {
    std::vector<double> values;
    for (const QPieSlice* slice : w.chartSeries()->slices()) values.push_back(slice->value());
    return values;
}

TEST(ShopWide, TheWholeShopComesFromTheServerWithItsTills) {
    ShopServer& shop = ShopServer::instance();
    shop.reset();
    TestTill a("01", {2026, 12, 10, 8, 0, 0}), b("02", {2026, 12, 10, 9, 0, 0});
    std::string said;
    ASSERT_EQ(a.join(shop.connection("till01"), &said), 0) << said;
    ASSERT_EQ(b.join(shop.connection("till02"), &said), 0) << said;
    a.beginRun();
    ASSERT_TRUE(a.sell(0, 2));
    ASSERT_TRUE(a.sell(1, 1));
    a.endRun();
    b.beginRun();
    ASSERT_TRUE(b.sell(0, 3));
    b.endRun();
    a.startUploader();
    b.startUploader();
    ASSERT_TRUE(waitUntil([] { return serverCounts().tickets == 3; }, 60));

    const std::string moment = "2026年12月10日10时0分0秒";
    const struct {
        int scope;  // 本机, 全店
        Rows rows;
        std::vector<double> chart;  // count, revenue, quantity
    } cases[] = {
        {1,
         {{"可乐", "3", "2", moment, "01"},
          {"面包", "5", "1", moment, "01"},
          {"可乐", "3", "3", moment, "02"}},
         {3, 20, 6}},
        {0, {{"可乐", "3", "2", moment}, {"面包", "5", "1", moment}}, {2, 11, 3}},
    };
    app::setRunDirectory(a.dir());
    performance::PerformanceWindow w;
    auto* scope = w.findChild<QComboBox*>(QStringLiteral("组合框_范围"));
    ASSERT_NE(scope, nullptr);
    EXPECT_EQ(scope->itemText(0), "本机");
    EXPECT_EQ(scope->itemText(1), "全店");
    for (const auto& c : cases) {
        w.findChild<QDateEdit*>(QStringLiteral("日期框_起"))->setDate(QDate(2026, 12, 10));
        w.findChild<QDateEdit*>(QStringLiteral("日期框_终"))->setDate(QDate(2026, 12, 10));
        scope->setCurrentIndex(c.scope);
        auto* query = w.findChild<QPushButton*>(QStringLiteral("图形按钮_查询"));
        query->click();
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return listRows(w) == c.rows && query->isEnabled(); }, 30000))
            << c.scope << ": " << listRows(w).size();
        EXPECT_EQ(chartValues(w), c.chart) << c.scope;
        EXPECT_EQ(w.statusPart(1), QString::number(c.rows.size())) << c.scope;
        if (const char* shots = std::getenv("SHOP_SERVER_SHOTS"))
            w.grab().save(QString::fromUtf8(shots) +
                          QStringLiteral("/shop-wide-%1.png").arg(c.scope));
    }
}

TEST(ShopWide, ATillWithoutAServerIsNotOfferedIt) {
    TestTill alone("01", {2026, 12, 10, 8, 0, 0});
    app::setRunDirectory(alone.dir());
    performance::PerformanceWindow w;
    EXPECT_EQ(w.findChild<QComboBox*>(QStringLiteral("组合框_范围")), nullptr);
}

}  // namespace
}  // namespace shop::test
