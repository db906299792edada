// The fault trials: two tills at once, the server killed in the middle of
// uploads, the server away for a whole day, tills whose clocks disagree.
// Each ends with every sale on the server exactly once and the stock fallen
// by exactly the units sold.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <thread>

#include "server_checks.h"
#include "test_till.h"

namespace shop::test {
namespace {

int fromEnvironment(const char* name, int otherwise) {
    const char* v = std::getenv(name);
    return v && std::atoi(v) > 0 ? std::atoi(v) : otherwise;
}

struct Sold {
    long long sales = 0, units = 0, cola = 0, bread = 0;
    Sold& operator+=(const Sold& o) {
        sales += o.sales, units += o.units, cola += o.cola, bread += o.bread;
        return *this;
    }
};

// `count` customers at `till`: goods and units vary from sale to sale.
Sold sellMany(TestTill& till, int count, int seed) {
    Sold sold;
    till.beginRun();
    for (int i = 0; i < count; ++i) {
        const int goods = (i + seed) % 2, units = 1 + (i + seed) % 3;
        if (!till.sell(goods, units)) {
            ADD_FAILURE() << till.code() << ": sale " << i << " did not finish";
            continue;
        }
        ++sold.sales;
        sold.units += units;
        (goods == 0 ? sold.cola : sold.bread) += units;
    }
    till.endRun();
    return sold;
}

class TrialTest : public ::testing::Test {
protected:
    void SetUp() override { ShopServer::instance().reset(); }
    // Joins, and the first till to join puts the shared catalogue up.
    void join(TestTill& till, const char* user) {
        std::string said;
        ASSERT_EQ(till.join(ShopServer::instance().connection(user), &said), 0) << said;
        if (serverStock("可乐") != 0) return;
        ASSERT_EQ(runTool({"server", "catalogue", till.dir(),
                           ShopServer::instance().connection("office")},
                          &said),
                  0)
            << said;
    }
    static void expectOnce(const Sold& sold, const char* what) {
        const auto done = [&] { return serverCounts().tickets >= sold.sales; };
        ASSERT_TRUE(waitUntil(done, 600)) << what;
        const ServerCounts n = serverCounts();
        EXPECT_EQ(n.tickets, sold.sales) << what << ": every sale once";
        EXPECT_EQ(n.distinctReceipts, sold.sales) << what;
        EXPECT_EQ(n.rows, sold.sales) << what << ": one row per sale";
        EXPECT_EQ(n.units, sold.units) << what;
        EXPECT_EQ(serverStock("可乐"), 100000 - sold.cola) << what;
        EXPECT_EQ(serverStock("面包"), 100000 - sold.bread) << what;
    }
};

TEST_F(TrialTest, TwoTillsSellingTheSameGoodsAtOnce) {
    const int each = fromEnvironment("SHOP_SERVER_SALES", 1000);
    TestTill a("01", {2026, 12, 10, 9, 0, 0}), b("02", {2026, 12, 10, 9, 0, 0});
    join(a, "till01");
    join(b, "till02");
    a.startUploader();
    b.startUploader();
    Sold soldA, soldB;
    std::thread ta([&] { soldA = sellMany(a, each, 0); });
    std::thread tb([&] { soldB = sellMany(b, each, 1); });
    ta.join();
    tb.join();
    soldA += soldB;
    expectOnce(soldA, "two tills");
    EXPECT_EQ(serverCounts("01").tickets, each);
    EXPECT_EQ(serverCounts("02").tickets, each);
}

TEST_F(TrialTest, TheServerKilledDuringUploadsLosesAndDoublesNothing) {
    const int trials = fromEnvironment("SHOP_SERVER_KILL_TRIALS", 3);
    TestTill till("01", {2026, 12, 10, 10, 0, 0});
    join(till, "till01");
    till.startUploader({server::Timeouts{2, 5000}, std::chrono::milliseconds(100),
                        std::chrono::milliseconds(100), 5});
    std::mt19937 random(20261210);
    Sold sold;
    till.beginRun();
    for (int trial = 0; trial < trials; ++trial) {
        const int sales = 20;
        std::thread killer([&, delay = std::uniform_int_distribution<int>(0, 400)(random)] {
            std::this_thread::sleep_for(std::chrono::milliseconds(delay));
            EXPECT_TRUE(ShopServer::instance().stop("immediate"));
            EXPECT_TRUE(ShopServer::instance().start());
        });
        for (int i = 0; i < sales; ++i) {
            const int goods = i % 2, units = 1 + i % 3;
            ASSERT_TRUE(till.sell(goods, units));
            ++sold.sales;
            sold.units += units;
            (goods == 0 ? sold.cola : sold.bread) += units;
        }
        killer.join();
    }
    till.endRun();
    expectOnce(sold, "killed");
    EXPECT_TRUE(waitUntil([&] { return till.status().pending == 0; }, 60));
}

TEST_F(TrialTest, AWholeDayWithoutTheServerArrivesOnceWhenItIsBack) {
    TestTill opening("01", {2026, 12, 10, 7, 0, 0});
    join(opening, "till01");
    opening.startUploader();
    ASSERT_TRUE(waitUntil([&] { return opening.status().online; }, 30));
    ASSERT_TRUE(ShopServer::instance().stop("immediate"));
    // Morning, noon and evening runs of the same till, all offline.
    Sold sold;
    for (const int hour : {8, 12, 18}) {
        opening.setRunStart({2026, 12, 10, hour, 0, 0});
        sold += sellMany(opening, 100, hour);
    }
    EXPECT_FALSE(opening.status().online);
    EXPECT_TRUE(waitUntil([&] { return opening.status().pending == 600; }, 30))
        << opening.status().pending;
    opening.stopUploader();
    ASSERT_TRUE(ShopServer::instance().start());
    opening.startUploader();
    expectOnce(sold, "a day away");
}

TEST_F(TrialTest, TillClocksHoursApartNeverMakeOneKeyTwice) {
    // Till 02's clock is five hours behind: its runs carry the very names
    // till 01's runs had, and its second run is named before its first.
    TestTill a("01", {2026, 12, 10, 14, 0, 0}), b("02", {2026, 12, 10, 14, 0, 0});
    join(a, "till01");
    join(b, "till02");
    a.startUploader();
    b.startUploader();
    Sold sold = sellMany(a, 30, 0);
    for (const int hour : {14, 9}) {
        b.setRunStart({2026, 12, 10, hour, 0, 0});
        sold += sellMany(b, 30, hour);
    }
    expectOnce(sold, "clocks apart");
    EXPECT_EQ(serverCounts("01").tickets, 30);
    EXPECT_EQ(serverCounts("02").tickets, 60);
}

}  // namespace
}  // namespace shop::test
