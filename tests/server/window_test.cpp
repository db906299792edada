// The real main window of a joined till, offscreen: its status bar says
// whether the shop server is reached and what still waits, and a sale taken
// with 收款 reaches the server under the till's own receipt numbers.
#include <gtest/gtest.h>

#include <QStatusBar>
#include <QTest>
#include <cstdlib>

#include "server_checks.h"
#include "settings/settings_file.h"
#include "support/main_window_driver.h"

namespace shop::test {
namespace {

class JoinedWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ShopServer::instance().reset();
        d.run.setProducts({{"可乐", "3", "100000"}, {"面包", "5", "100000"}});
        d.run.setProductSave({"可乐", "面包"});
        settings::writeHeader(d.run.paths().settingsFile(), {"澄屿超市", "1", "小李", "海边"});
    }
    void join() {
        std::string said;
        ASSERT_EQ(runTool({"server", "join", d.run.dir(),
                           ShopServer::instance().connection("till01"), "--till", "07"},
                          &said),
                  0)
            << said;
        ASSERT_EQ(runTool({"server", "catalogue", d.run.dir(),
                           ShopServer::instance().connection("office")},
                          &said),
                  0)
            << said;
    }
    // Built as the program builds it, not shown: showing adds nothing to
    // what is tested here, and Qt's own threads for painting are not ours to check.
    void open() { d.start(); }
    void sell() {
        d.chooseGoods(1);
        d.chooseQuantity(QStringLiteral("2"));
        d.click("图形按钮_添加");
        d.tendered()->setText("20");
        d.click("图形按钮_收款");
    }
    QLabel* serverLabel() const {
        return d.window->findChild<QLabel*>(QStringLiteral("状态条1_门店服务器"));
    }
    MainWindowDriver d;
};

TEST_F(JoinedWindowTest, TheStatusBarFollowsTheServerAndTheSaleArrives) {
    join();
    open();
    ASSERT_NE(serverLabel(), nullptr);
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return serverLabel()->text() == "在线 · 未上传 0 条"; }, 30000))
        << serverLabel()->text().toStdString();
    sell();
    EXPECT_TRUE(QTest::qWaitFor([] { return serverCounts().tickets == 1; }, 30000));
    server::PgConnection admin = ShopServer::instance().adminConnection();
    EXPECT_EQ(admin.value("SELECT left(receipt, 3) FROM tickets"), "07-");
    EXPECT_EQ(serverStock("面包"), 100000 - 2);

    ASSERT_TRUE(ShopServer::instance().stop("immediate"));
    sell();
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return serverLabel()->text() == "离线 · 未上传 2 条"; }, 30000))
        << serverLabel()->text().toStdString();
    EXPECT_EQ(serverLabel()->toolTip(), "门店服务器连不上");
    ASSERT_TRUE(ShopServer::instance().start());
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return serverLabel()->text() == "在线 · 未上传 0 条"; }, 30000))
        << serverLabel()->text().toStdString();
    EXPECT_EQ(serverCounts().tickets, 2);
    if (const char* shots = std::getenv("SHOP_SERVER_SHOTS"))  // to look at it
        d.window->grab().save(QString::fromUtf8(shots) + QStringLiteral("/joined-window.png"));
}

TEST_F(JoinedWindowTest, ATillWithoutAServerShowsNothingOfIt) {
    open();
    EXPECT_EQ(serverLabel(), nullptr);
    sell();
    EXPECT_EQ(test::readAll(d.window->runSalesPath()).size(), 1u);
}

}  // namespace
}  // namespace shop::test
