// The checkout area of the main window, driven through its controls: goods
// lookup, adding, deleting and clearing rows, total and change, the goods-list
// save and the exit recording.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>
#include <filesystem>

#include "checkout/sale_journal.h"
#include "products/product_import.h"
#include "storage/date_text.h"
#include "storage/table.h"
#include "support/main_window_driver.h"

namespace shop::test {
namespace {

namespace st = shop::storage;
using Rows = std::vector<std::vector<std::string>>;

class CheckoutAreaTest : public ::testing::Test {
protected:
    MainWindowDriver d;

    void startWith(const std::vector<std::vector<std::string>>& products,
                   const std::vector<std::string>& names) {
        d.run.setProducts(products);
        d.run.setProductSave(names);
        d.start();
        ASSERT_FALSE(d.platform.exited());
    }
    void addRow(int goods, const QString& quantity) {
        d.chooseGoods(goods);
        d.chooseQuantity(quantity);
        d.click("图形按钮_添加");
    }
};

TEST_F(CheckoutAreaTest, ChoosingGoodsShowsPriceAndAppendsTheQuantities) {
    startWith({{"苹果", "2.5", "3"}, {"牛奶", "12元", "2"}}, {"苹果", "牛奶"});
    d.chooseGoods(0);
    EXPECT_EQ(d.price()->text(), "2.5");
    d.chooseGoods(1);
    EXPECT_EQ(d.price()->text(), "12元");
    // The quantity combo is never emptied: A's quantities stay in front.
    EXPECT_EQ(d.items(d.quantity()), (QStringList{"1", "2", "3", "1", "2"}));
    // The lookup closed the product table again.
    EXPECT_FALSE(st::select(d.run.paths().product()));
}

TEST_F(CheckoutAreaTest, MoreGoodsNamesThanProductsGiveEmptyPriceAndNoQuantities) {
    startWith({{"苹果", "2.5", "3"}}, {"苹果", "牛奶", "面包"});
    d.chooseGoods(2);
    EXPECT_EQ(d.price()->text(), "");
    EXPECT_EQ(d.quantity()->count(), 0);
    // Goods without a price in the catalogue are not sold for nothing.
    const QString total = d.total();
    d.quantity()->setEditText("1");
    d.click("图形按钮_添加");
    EXPECT_TRUE(d.rows().empty());
    EXPECT_EQ(d.hint(), "该商品在产品库中没有价格");
    EXPECT_EQ(d.total(), total);
}

TEST_F(CheckoutAreaTest, StockThatIsNoNumberOffersNoQuantity) {
    startWith({{"散装糖", "3", "abc"}, {"盐", "2", "0"}}, {"散装糖", "盐"});
    d.chooseGoods(0);
    d.chooseGoods(1);
    EXPECT_EQ(d.quantity()->count(), 0);
    // A quantity typed as text is no quantity: nothing is added.
    d.quantity()->setEditText("abc");
    d.click("图形按钮_添加");
    EXPECT_TRUE(d.rows().empty());
    EXPECT_EQ(d.hint(), "数量须为大于0的整数");
    EXPECT_EQ(d.total(), "00  元");
}

TEST_F(CheckoutAreaTest, AMissingProductTableLeavesPriceAndQuantitiesAlone) {
    startWith({{"苹果", "2.5", "2"}, {"牛奶", "3", "4"}}, {"苹果", "牛奶"});
    d.chooseGoods(0);
    std::filesystem::remove(d.run.paths().product());
    d.chooseGoods(1);
    EXPECT_EQ(d.price()->text(), "2.5");
    EXPECT_EQ(d.items(d.quantity()), (QStringList{"1", "2"}));
}

TEST_F(CheckoutAreaTest, AddingBeforeChoosingAddsNothingAndSaysWhy) {
    startWith({{"苹果", "2.5", "3"}}, {"苹果"});
    EXPECT_EQ(d.goods()->currentText(), "");
    d.click("图形按钮_添加");
    EXPECT_EQ(d.list()->topLevelItemCount(), 0);
    EXPECT_EQ(d.hint(), "请先选择商品");
    EXPECT_EQ(d.total(), "00  元");
    // The hint goes once a line is added; the row carries the moment it was.
    const st::Moment before = st::now();
    addRow(0, "2");
    EXPECT_EQ(d.hint(), "");
    ASSERT_EQ(d.list()->topLevelItemCount(), 1);
    const auto row = d.rows()[0];
    EXPECT_EQ(row[0], "苹果");
    EXPECT_EQ(row[1], "2.5");
    EXPECT_EQ(row[2], "2");
    const auto when = st::parseDateText(row[3]);
    ASSERT_TRUE(when) << row[3];
    EXPECT_GE(st::dayNumber(*when), st::dayNumber(before));
    EXPECT_EQ(d.total(), "5元");
}

TEST_F(CheckoutAreaTest, TheTotalCoversEveryRowAndTheChangeFollowsEachKeystroke) {
    startWith({{"苹果", "2.5", "5"}, {"牛奶", "1", "2"}}, {"苹果", "牛奶"});
    addRow(0, "4");
    EXPECT_EQ(d.total(), "10元");
    addRow(1, "1");
    EXPECT_EQ(d.total(), "11元");
    EXPECT_EQ(d.rows()[0][0], "苹果");
    EXPECT_EQ(d.rows()[0][1], "2.5");
    EXPECT_EQ(d.rows()[0][2], "4");
    EXPECT_EQ(d.rows()[1][0], "牛奶");

    QTest::keyClicks(d.tendered(), "5");
    EXPECT_EQ(d.change(), "-6 元");
    QTest::keyClicks(d.tendered(), "0");
    EXPECT_EQ(d.change(), "39 元");
    QTest::keyClick(d.tendered(), Qt::Key_Backspace);
    QTest::keyClick(d.tendered(), Qt::Key_Backspace);
    EXPECT_EQ(d.change(), "-11 元");
}

// The total after every change of the list.
TEST_F(CheckoutAreaTest, DeleteRemovesTheRememberedRowAndTheTotalFollows) {
    startWith({{"a", "1", "9"}, {"b", "2", "9"}, {"c", "3", "9"}}, {"a", "b", "c"});
    addRow(0, "1");
    addRow(1, "1");
    addRow(2, "1");
    EXPECT_EQ(d.total(), "6元");
    d.tendered()->setText("10");
    EXPECT_EQ(d.change(), "4 元");
    // Nothing chosen yet: the remembered row is the first, and it shows.
    EXPECT_EQ(d.selectedRows(), (std::vector<int>{0}));
    d.click("图形按钮_删除");
    ASSERT_EQ(d.rows().size(), 2u);
    EXPECT_EQ(d.rows()[0][0], "b");
    EXPECT_EQ(d.total(), "5元");
    EXPECT_EQ(d.change(), "5 元");  // the change follows the total
    // Choosing a row remembers it; a second delete takes the row moved up.
    addRow(0, "1");  // b, c, a
    EXPECT_EQ(d.total(), "6元");
    d.list()->setCurrentItem(d.list()->topLevelItem(1));
    d.click("图形按钮_删除");
    EXPECT_EQ(d.total(), "3元");
    EXPECT_EQ(d.selectedRows(), (std::vector<int>{1})) << "the row moved up is the next to go";
    d.click("图形按钮_删除");
    ASSERT_EQ(d.rows().size(), 1u);
    EXPECT_EQ(d.rows()[0][0], "b");
    EXPECT_EQ(d.total(), "2元");
    EXPECT_EQ(d.change(), "8 元");
}

TEST_F(CheckoutAreaTest, DeletePastTheLastRowChangesNothing) {
    startWith({{"a", "1", "9"}, {"b", "2", "9"}}, {"a", "b"});
    addRow(0, "1");
    addRow(1, "1");
    d.list()->setCurrentItem(d.list()->topLevelItem(1));
    d.click("图形按钮_删除");  // removes the last row; the remembered row stays 1
    ASSERT_EQ(d.rows().size(), 1u);
    EXPECT_TRUE(d.selectedRows().empty()) << "nothing left at the remembered row";
    d.click("图形按钮_删除");
    ASSERT_EQ(d.rows().size(), 1u);
    EXPECT_EQ(d.rows()[0][0], "a");
    EXPECT_EQ(d.total(), "1元");
    EXPECT_EQ(d.hint(), "请先在结账列表中选择要删除的行");
    // A row added there is the one shown, and the one removed.
    addRow(1, "1");
    EXPECT_EQ(d.selectedRows(), (std::vector<int>{1}));
}

TEST_F(CheckoutAreaTest, ClearEmptiesTheListAndTheTotal) {
    startWith({{"a", "2", "9"}}, {"a"});
    addRow(0, "3");
    d.tendered()->setText("10");
    ASSERT_EQ(d.change(), "4 元");
    d.click("图形按钮_清空");
    EXPECT_EQ(d.list()->topLevelItemCount(), 0);
    EXPECT_EQ(d.total(), "0元");
    EXPECT_EQ(d.change(), "10 元");
    addRow(0, "1");
    EXPECT_EQ(d.total(), "2元");
}

// The quantity list is capped; a typed quantity still counts.
TEST_F(CheckoutAreaTest, AHugeStockOffersACappedListAndATypedQuantityCounts) {
    startWith({{"沙", "0.5", "99999999999"}, {"石", "2", "3"}}, {"沙", "石"});
    d.chooseGoods(0);
    EXPECT_EQ(d.quantity()->count(), 999);
    EXPECT_EQ(d.quantity()->itemText(998), "999");
    d.quantity()->setEditText("5000");
    d.click("图形按钮_添加");
    EXPECT_EQ(d.rows()[0][2], "5000");
    EXPECT_EQ(d.total(), "2500元");
    // The specified list stays as it was below the cap: items accumulate.
    d.chooseGoods(1);
    EXPECT_EQ(d.quantity()->count(), 1002);
    EXPECT_EQ(d.quantity()->itemText(1001), "3");
}

// The price shown belongs to the goods shown, also after the import refills
// the goods combo.
TEST_F(CheckoutAreaTest, ARefillOfTheGoodsComboLeavesNothingChosen) {
    startWith({{"牛奶", "12元", "3"}, {"矿泉水", "2元", "5"}}, {"牛奶", "矿泉水"});
    d.chooseGoods(0);
    ASSERT_EQ(d.price()->text(), "12元");
    d.platform.queueAnswer(true);
    products::importProducts(d.window.get(), d.goods(), {"矿泉水", "牛奶"},
                             d.run.paths().productSave());
    ASSERT_EQ(d.items(d.goods()), (QStringList{"矿泉水", "牛奶"}));
    EXPECT_EQ(d.goods()->currentIndex(), -1);
    EXPECT_EQ(d.goods()->currentText(), "");
    EXPECT_EQ(d.price()->text(), "");
    EXPECT_EQ(d.quantity()->count(), 0);
    EXPECT_EQ(d.quantity()->currentText(), "");
    // Adding now records no goods at another goods' price.
    d.quantity()->setEditText("1");
    d.click("图形按钮_添加");
    EXPECT_TRUE(d.rows().empty());
    EXPECT_EQ(d.total(), "00  元");
}

TEST_F(CheckoutAreaTest, AFirstImportIntoAnEmptyComboChoosesNothingEither) {
    startWith({{"牛奶", "12元", "3"}}, {});
    d.price()->setText("7");
    products::importProducts(d.window.get(), d.goods(), {"牛奶"}, d.run.paths().productSave());
    ASSERT_EQ(d.goods()->count(), 1);
    EXPECT_EQ(d.goods()->currentText(), "");
    EXPECT_EQ(d.price()->text(), "");
    d.chooseGoods(0);
    EXPECT_EQ(d.price()->text(), "12元");
}

// The save stores the list as it stands: pressed any number of times, the
// product-save table holds each name once, and the next start offers no name
// past the catalogue's end.
TEST_F(CheckoutAreaTest, SavingStoresTheListOnceHoweverOftenItIsPressed) {
    startWith({}, {"苹果", "牛奶"});
    for (int presses = 1; presses <= 3; ++presses) {
        d.click("图形按钮_保存");
        EXPECT_EQ(d.platform.messages(), QStringList(presses, QStringLiteral("保存成功")));
        EXPECT_EQ(readAll(d.run.paths().productSave()), (Rows{{"苹果"}, {"牛奶"}})) << presses;
    }
}

TEST_F(CheckoutAreaTest, SavingAnEmptyGoodsListFails) {
    startWith({}, {});
    d.click("图形按钮_保存");
    EXPECT_EQ(d.platform.messages(), (QStringList{"保存失败"}));
    EXPECT_TRUE(readAll(d.run.paths().productSave()).empty());
}

TEST_F(CheckoutAreaTest, SavingWithoutTheProductSaveTableSaysSo) {
    startWith({}, {"苹果"});
    st::close(d.run.paths().productSave());
    d.click("图形按钮_保存");
    EXPECT_EQ(d.platform.messages(), (QStringList{"保存产品数据库打开失败，请你检查数据库"}));
    EXPECT_EQ(readAll(d.run.paths().productSave()), (Rows{{"苹果"}}));
}

TEST_F(CheckoutAreaTest, LeavingRecordsTheRowsInListOrder) {
    startWith({{"苹果", "2.5", "5"}, {"牛奶", "12元", "2"}}, {"苹果", "牛奶"});
    addRow(0, "4");
    addRow(1, "2");
    addRow(0, "1");
    const Rows shown = d.rows();
    d.click("图形按钮1_关闭");
    EXPECT_TRUE(d.platform.exited());
    EXPECT_EQ(d.platform.exitCode(), 0);
    EXPECT_TRUE(d.platform.messages().isEmpty());
    EXPECT_EQ(readAll(d.window->runSalesPath()), shown);
    EXPECT_EQ(shown.size(), 3u);
    // The orderly exit leaves one backup, and it holds the sales just stored.
    const std::filesystem::path backups =
        std::filesystem::path(d.window->runSalesPath()).parent_path().parent_path() / "备份";
    std::vector<std::filesystem::path> taken;
    for (const auto& e : std::filesystem::directory_iterator(backups)) taken.push_back(e.path());
    ASSERT_EQ(taken.size(), 1u);
    const auto copy =
        taken[0] / "保存数据库" / std::filesystem::path(d.window->runSalesPath()).filename();
    EXPECT_EQ(readAll(copy.string()), shown);
}

TEST_F(CheckoutAreaTest, LeavingWithAnEmptyListWritesNothing) {
    startWith({}, {"苹果"});
    d.click("图形按钮1_关闭");
    EXPECT_TRUE(d.platform.exited());
    EXPECT_EQ(d.platform.exitCode(), 0);
    EXPECT_TRUE(std::filesystem::is_regular_file(d.window->runSalesPath()));
    EXPECT_TRUE(readAll(d.window->runSalesPath()).empty());
    // The current table, the sales table, was closed.
    EXPECT_FALSE(st::select(d.window->runSalesPath()));
}

// A row too long for the sales table is kept in view, the others stored.
TEST_F(CheckoutAreaTest, ARowThatCannotBeStoredStaysInTheListAndTheRestIsRecorded) {
    startWith({{"a", "1", "3"}, {"b", "2", "3"}}, {"a", "b"});
    d.chooseGoods(0);
    d.price()->setText(QString(300, QLatin1Char('9')));  // too long for the sales table
    d.click("图形按钮_添加");
    addRow(1, "1");
    const Rows shown = d.rows();
    d.click("图形按钮1_关闭");
    EXPECT_EQ(d.platform.messages(), (QStringList{"错误"}));
    EXPECT_FALSE(d.platform.exited());
    // Nothing is cut to fit; the rest of the sale is stored and leaves the list.
    EXPECT_EQ(readAll(d.window->runSalesPath()), (Rows{shown[1]}));
    EXPECT_EQ(d.rows(), (Rows{shown[0]}));
    // The cashier deletes the row that cannot be stored and closes again.
    d.list()->setCurrentItem(d.list()->topLevelItem(0));
    d.click("图形按钮_删除");
    d.click("图形按钮1_关闭");
    EXPECT_TRUE(d.platform.exited());
    EXPECT_EQ(readAll(d.window->runSalesPath()), (Rows{shown[1]}));
}

TEST_F(CheckoutAreaTest, AStartAfterACrashRecoversTheSalesAndSaysFromWhichRun) {
    const std::string table = "销售数据2024年3月5日14时7分9秒.edb";
    const std::vector<checkout::SaleRow> rows = {{"a", "1", "2", "2024年3月5日14时8分0秒"},
                                                 {"b", "2", "1", "2024年3月5日14时9分0秒"}};
    ASSERT_TRUE(
        checkout::SaleJournal(checkout::journalPath(d.run.dir(), table), table, 0).update(rows));
    startWith({}, {"a"});
    ASSERT_EQ(d.platform.messages().size(), 1);
    const QString said = d.platform.messages()[0];
    EXPECT_TRUE(said.contains("2024年3月5日14时7分9秒") && said.contains(" 2 "))
        << said.toStdString();
    EXPECT_EQ(readAll(st::joinPath(d.run.dir(), st::kSalesFolder, table)),
              (Rows{{"a", "1", "2", "2024年3月5日14时8分0秒"},
                    {"b", "2", "1", "2024年3月5日14时9分0秒"}}));
    EXPECT_TRUE(checkout::journalsIn(d.run.dir()).empty());
    // This run's own table is the current one, as after any start.
    EXPECT_EQ(st::currentPath(), d.window->runSalesPath());
}

TEST_F(CheckoutAreaTest, OtherWindowsReachTheCheckoutControls) {
    startWith({}, {"a"});
    const app::CheckoutArea area = d.window->checkoutArea();
    EXPECT_EQ(area.list, d.list());
    EXPECT_EQ(area.goods, d.goods());
    EXPECT_EQ(area.total, d.label("透明标签_余额"));
    EXPECT_EQ(area.change, d.label("透明标签_找0钱"));
}

}  // namespace
}  // namespace shop::test
