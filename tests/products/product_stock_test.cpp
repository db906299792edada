// The product window shows the stock as the sales leave it: each opening
// reads the catalogue afresh, and what it writes back keeps the stock sold.
#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>
#include <QTimer>

#include "product_fixture.h"
#include "products/product_window.h"
#include "support/main_window_driver.h"

namespace shop::products {
namespace {

using test_support::entries;

class ProductStock : public ::testing::Test {
protected:
    void SetUp() override {
        d.run.setProducts({{"方便面", "4.5元", "20"}, {"牛奶", "6元", "5"}});
        d.run.setProductSave({"方便面", "牛奶"});
        app::Navigation nav;
        nav.productWindow = &openProductWindow;
        d.start(nav);
    }
    // Opens the product window from the till, runs `inside` on it, closes it.
    void inProductWindow(const std::function<void(ProductWindow&)>& inside) {
        bool opened = false;
        QTimer::singleShot(0, [&] {
            auto* w = dynamic_cast<ProductWindow*>(QApplication::activeModalWidget());
            ASSERT_NE(w, nullptr);
            opened = true;
            inside(*w);
            w->findChild<QPushButton*>(QStringLiteral("图形按钮1_关闭5"))->click();
        });
        d.click("图形按钮_添加产品");
        ASSERT_TRUE(opened);
    }
    QStringList stockShown() {
        QStringList shown;
        inProductWindow([&](ProductWindow& w) { shown = entries(w, "选择列表框_设置商品数量"); });
        return shown;
    }
    void sell(const std::vector<std::pair<int, QString>>& lines) {
        for (const auto& [goods, quantity] : lines) {
            d.chooseGoods(goods);
            d.chooseQuantity(quantity);
            d.click("图形按钮_添加");
        }
        d.tendered()->setText(QStringLiteral("1000"));
        d.click("图形按钮_收款");
        ASSERT_TRUE(d.rows().empty());
    }
    shop::test::MainWindowDriver d;
};

TEST_F(ProductStock, EachOpeningShowsTheStockLeftBySales) {
    EXPECT_EQ(stockShown(), (QStringList{"20", "5"}));
    sell({{0, QStringLiteral("3")}, {1, QStringLiteral("5")}});
    EXPECT_EQ(stockShown(), (QStringList{"17", "0"}));
    sell({{0, QStringLiteral("2")}});
    EXPECT_EQ(stockShown(), (QStringList{"15", "0"}));
}

// A product added after a sale rewrites the catalogue from the window's
// lists: the stock sold stays sold.
TEST_F(ProductStock, AnAddAfterASaleKeepsTheStockSold) {
    sell({{0, QStringLiteral("4")}});
    inProductWindow([](ProductWindow& w) {
        w.findChild<QLineEdit*>(QStringLiteral("编辑框_名称"))->setText(QStringLiteral("面包"));
        w.findChild<QLineEdit*>(QStringLiteral("编辑框_产品价格"))->setText(QStringLiteral("3"));
        w.findChild<QLineEdit*>(QStringLiteral("编辑框_数量"))->setText(QStringLiteral("9"));
        w.addProduct();
    });
    EXPECT_EQ(shop::test::readAll(d.run.paths().product()),
              (test_support::Rows{
                  {"方便面", "4.5元", "16"}, {"牛奶", "6元", "5"}, {"面包", "3元", "9"}}));
}

}  // namespace
}  // namespace shop::products
