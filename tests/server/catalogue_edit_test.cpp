// A product-window edit on a joined till goes to the shop server first, in
// one transaction, and comes back down to every till; offline, or without
// the back office's right, it is refused and no table anywhere changes.
#include "server/catalogue_edit.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>

#include "app/scripted_platform.h"
#include "products/product_window.h"
#include "server_checks.h"
#include "test_till.h"

namespace shop::test {
namespace {

using Rows = std::vector<std::vector<std::string>>;
using Step = server::CatalogueStep;
using server::EditOutcome;

Rows serverRows(const char* sql) {
    server::PgConnection c = ShopServer::instance().adminConnection();
    const server::PgResult r = c.exec(sql);
    Rows rows;
    for (int i = 0; i < r.rows(); ++i) {
        rows.emplace_back();
        for (int f = 0; f < 3 && !r.isNull(i, f); ++f) rows.back().push_back(r.text(i, f));
    }
    return rows;
}
Rows serverGoods() {
    return serverRows("SELECT name, price, stock FROM products ORDER BY position");
}
Rows serverCodes() { return serverRows("SELECT code, goods FROM barcodes ORDER BY position"); }

TEST(CatalogueEdit, EachEditIsWholeOnTheServerOrNotThereAtAll) {
    ShopServer& shop = ShopServer::instance();
    shop.reset();
    TestTill office("09", {2026, 12, 10, 8, 0, 0});
    TestTill till("01", {2026, 12, 10, 8, 0, 0});
    std::string said;
    ASSERT_EQ(office.join(shop.connection("office"), &said), 0) << said;
    ASSERT_EQ(till.join(shop.connection("till01"), &said), 0) << said;
    ASSERT_EQ(runTool({"server", "catalogue", office.dir(), shop.connection("office")}, &said), 0)
        << said;
    const Rows start = {{"可乐", "3", "100000"}, {"面包", "5", "100000"}};
    const struct {
        const TestTill* at;
        std::vector<server::CatalogueStep> steps;
        EditOutcome outcome;
        Rows goods, codes;  // the server's afterwards
    } cases[] = {
        {&office,
         {Step::add("牛奶", "4元", 20), Step::addCode("96385074", "牛奶")},
         EditOutcome::Done,
         {start[0], start[1], {"牛奶", "4元", "20"}},
         {{"96385074", "牛奶"}}},
        {&office,
         {Step::change(3, "牛奶", "鲜牛奶", "4.5元", 18), Step::renameCodes("牛奶", "鲜牛奶")},
         EditOutcome::Done,
         {start[0], start[1], {"鲜牛奶", "4.5元", "18"}},
         {{"96385074", "鲜牛奶"}}},
        // Shown from a catalogue the server no longer has: nothing changes.
        {&office,
         {Step::addCode("6901234567892", "可乐"), Step::change(3, "牛奶", "酸奶", "6元", 1)},
         EditOutcome::Changed,
         {start[0], start[1], {"鲜牛奶", "4.5元", "18"}},
         {{"96385074", "鲜牛奶"}}},
        {&till,
         {Step::add("酸奶", "6元", 1)},
         EditOutcome::NoRight,
         {start[0], start[1], {"鲜牛奶", "4.5元", "18"}},
         {{"96385074", "鲜牛奶"}}},
        {&office, {Step::empty()}, EditOutcome::Done, {}, {}},
    };
    for (const auto& c : cases) {
        const auto file = server::readServerFile(c.at->dir());
        ASSERT_TRUE(file);
        const server::EditResult r = server::editShopCatalogue(c.at->dir(), *file, c.steps);
        EXPECT_EQ(r.outcome, c.outcome) << r.detail;
        EXPECT_EQ(serverGoods(), c.goods);
        EXPECT_EQ(serverCodes(), c.codes);
        if (r.outcome == EditOutcome::Done || r.outcome == EditOutcome::Changed) {
            EXPECT_EQ(r.catalogue.items.size(), c.goods.size()) << "read back after the edit";
        }
    }
}

// The back-office PC's product window, joined, while till 01 listens.
class ProductWindowOnServer : public ::testing::Test {
protected:
    void SetUp() override {
        ShopServer::instance().reset();
        std::string said;
        ASSERT_EQ(other.join(ShopServer::instance().connection("till01"), &said), 0) << said;
        ASSERT_EQ(back.join(ShopServer::instance().connection("office"), &said), 0) << said;
        ASSERT_EQ(runTool({"server", "catalogue", back.dir(),
                           ShopServer::instance().connection("office")},
                          &said),
                  0)
            << said;
        other.startUploader();
        ASSERT_TRUE(waitUntil([&] { return other.status().catalogues == 1; }, 30));
    }
    void add(products::ProductWindow& w, const char* name) {
        w.findChild<QLineEdit*>(QStringLiteral("编辑框_名称"))->setText(QString::fromUtf8(name));
        w.findChild<QLineEdit*>(QStringLiteral("编辑框_产品价格"))->setText(QStringLiteral("4"));
        w.findChild<QLineEdit*>(QStringLiteral("编辑框_数量"))->setText(QStringLiteral("20"));
        w.addProduct();
    }
    Rows products(const TestTill& t) const {
        return readAll(storage::DataPaths{t.dir()}.product());
    }

    TestTill other{"01", {2026, 12, 10, 8, 0, 0}};
    TestTill back{"09", {2026, 12, 10, 8, 0, 0}};  // made last: the program's run folder
    app::ScriptedPlatform platform;
};

TEST_F(ProductWindowOnServer, AnAddComesDownToEveryTillAndOfflineIsRefused) {
    products::ProductWindow w({});
    const struct {
        bool serverUp;
        const char* name;
        const char* message;   // the start of what the window says; empty: nothing
        std::size_t products;  // on both tills afterwards
    } cases[] = {
        {true, "牛奶", "", 3},
        {false, "酸奶", "门店服务器不可用，本次修改没有保存，本机商品未改动", 3},
        {true, "酸奶", "", 4},
    };
    for (const auto& c : cases) {
        if (!c.serverUp) {
            ASSERT_TRUE(ShopServer::instance().stop("immediate"));
        }
        platform.clear();
        add(w, c.name);
        const QStringList said = platform.messages();
        const bool saidAsExpected =
            *c.message ? said.size() == 1 && said[0].startsWith(QString::fromUtf8(c.message))
                       : said.isEmpty();
        EXPECT_TRUE(saidAsExpected) << c.name << ": " << said.join('|').toStdString();
        EXPECT_EQ(products(back).size(), c.products) << c.name;
        const QString typed = w.findChild<QLineEdit*>(QStringLiteral("编辑框_名称"))->text();
        EXPECT_EQ(typed, c.serverUp ? "" : c.name) << "a refused edit keeps what was typed";
        if (c.serverUp) {
            EXPECT_TRUE(waitUntil([&] { return products(other).size() == c.products; }, 30));
        }
        if (!c.serverUp) {
            ASSERT_TRUE(ShopServer::instance().start());
        }
    }
    EXPECT_EQ(products(other), products(back));
}

}  // namespace
}  // namespace shop::test
