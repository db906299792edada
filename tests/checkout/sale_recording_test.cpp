// Recording a run's rows into its sales table, saving the goods list, and
// the two tables a run keeps open.
#include "checkout/sale_recording.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "checkout/goods_lookup.h"
#include "checkout/run_tables.h"
#include "storage/schemas.h"
#include "storage/table.h"
#include "support/run_folder.h"

namespace shop::checkout {
namespace {

namespace st = shop::storage;
namespace fs = std::filesystem;
using test::readAll;
using Rows = std::vector<std::vector<std::string>>;

class SalesTableTest : public ::testing::Test {
protected:
    test::RunFolder run;
    std::string sales = run.paths().salesTable({2024, 3, 5, 14, 7, 9});

    void startSales() { ASSERT_EQ(startSalesTable(sales), SalesTableStart::Opened); }
};

TEST_F(SalesTableTest, SelectsTheSalesTableWhateverIsCurrent) {
    startSales();
    ASSERT_TRUE(st::open(run.paths().productSave()));
    EXPECT_EQ(recordSales(sales, {{"a", "1", "1", "d"}}).outcome, ExitRecording::Recorded);
    EXPECT_EQ(readAll(sales), (Rows{{"a", "1", "1", "d"}}));
    EXPECT_TRUE(readAll(run.paths().productSave()).empty());
}

TEST_F(SalesTableTest, ARowThatCanNeverBeStoredDoesNotHoldBackTheOthers) {
    startSales();
    const std::string wide(255, 'x');
    // 200 + 2 x 30 bytes as the table counts them: over the 255 of the field.
    const std::string tooWide =
        std::string(200, 'y') + "一二三四五六七八九十一二三四五六七八九十一二三四五六七八九十";
    ASSERT_FALSE(fitsSalesTable({"b", "1", tooWide, "d"}));
    ASSERT_TRUE(fitsSalesTable({"b", "1", wide, "d"}));
    const RecordingResult result =
        recordSales(sales, {{"a", "1", "1", "d"}, {"b", "1", tooWide, "d"}, {"c", "2", "1", "d"}});
    EXPECT_EQ(result.outcome, ExitRecording::RecordedAllThatFit);
    EXPECT_EQ(result.unstorable, std::vector<std::size_t>{1});
    EXPECT_EQ(result.recordCount, 2);
    // Nothing cut to fit, no half record.
    EXPECT_EQ(readAll(sales), (Rows{{"a", "1", "1", "d"}, {"c", "2", "1", "d"}}));
}

TEST_F(SalesTableTest, ATableMissingAtExitIsCreatedThen) {
    // Never created at start (the folder was gone), back by the exit.
    fs::remove_all(run.paths().salesFolder());
    EXPECT_EQ(startSalesTable(sales), SalesTableStart::NotCreated);
    EXPECT_EQ(recordSales(sales, {{"a", "1", "1", "d"}}).outcome, ExitRecording::Failed);
    fs::create_directory(run.paths().salesFolder());
    EXPECT_EQ(recordSales(sales, {{"a", "1", "1", "d"}}).outcome, ExitRecording::Recorded);
    EXPECT_EQ(readAll(sales), (Rows{{"a", "1", "1", "d"}}));
    // Closed by another window: opened again, appended to.
    st::close(sales);
    EXPECT_EQ(recordSales(sales, {{"b", "2", "2", "d"}}).recordCount, 2);
    EXPECT_EQ(readAll(sales).size(), 2u);
}

// The table goes while the run is open (deleted, or its folder taken away
// and made again empty): the open-table set still holds the file that went,
// yet the exit makes the table again and stores the rows.
TEST_F(SalesTableTest, ATableThatWentWhileTheRunWasOpenIsMadeAgainAtExit) {
    const std::string folder = run.paths().salesFolder();
    const std::function<void()> losses[] = {
        [&] { fs::remove(sales); },
        [&] {
            fs::remove_all(folder);
            fs::create_directory(folder);
        },
    };
    for (const auto& lose : losses) {
        startSales();
        ASSERT_EQ(recordSales(sales, {{"早", "1", "1", "d"}}).outcome, ExitRecording::Recorded);
        lose();
        const RecordingResult result = recordSales(sales, {{"a", "1", "1", "d"}});
        EXPECT_EQ(result.outcome, ExitRecording::Recorded);
        EXPECT_EQ(result.recordCount, 1);
        EXPECT_EQ(readAll(sales), (Rows{{"a", "1", "1", "d"}}));
        st::closeAll();
        fs::remove(sales);
    }
}

TEST_F(SalesTableTest, ASecondRunInTheSameSecondAppendsToTheSameTable) {
    startSales();
    ASSERT_EQ(recordSales(sales, {{"first run", "1", "1", "d"}}).outcome, ExitRecording::Recorded);
    st::closeAll();
    ASSERT_EQ(startSalesTable(sales), SalesTableStart::Opened);
    ASSERT_EQ(recordSales(sales, {{"second run", "2", "2", "d"}}).outcome, ExitRecording::Recorded);
    EXPECT_EQ(readAll(sales), (Rows{{"first run", "1", "1", "d"}, {"second run", "2", "2", "d"}}));
}

TEST_F(SalesTableTest, AFileThatIsNoSalesTableDoesNotOpen) {
    { std::ofstream(sales) << "not a table"; }
    EXPECT_EQ(startSalesTable(sales), SalesTableStart::OpenFailed);
    EXPECT_EQ(st::currentPath(), "");
    // A table of another layout under the name is refused too, and left alone.
    const std::string other = run.paths().salesTable({2024, 3, 5, 14, 7, 10});
    ASSERT_TRUE(st::create(other, st::schemas::leave()));
    EXPECT_EQ(startSalesTable(other), SalesTableStart::OpenFailed);
    EXPECT_EQ(st::openCount(), 0);
}

class GoodsTablesTest : public ::testing::Test {
protected:
    test::RunFolder run;
};

TEST_F(GoodsTablesTest, AnyFailedWriteFailsTheWholeSaveAndASaveReplacesTheList) {
    run.setProductSave({"旧"});
    ASSERT_TRUE(openGoodsNames(run.paths().productSave()));
    EXPECT_EQ(saveGoodsList(run.paths().productSave(), {"a", std::string(300, 'x')}),
              GoodsSave::Failed);
    EXPECT_EQ(saveGoodsList(run.paths().productSave(), {std::string(300, 'x'), "b"}),
              GoodsSave::Failed);
    EXPECT_EQ(readAll(run.paths().productSave()), (Rows{{"旧"}}));
    EXPECT_EQ(saveGoodsList(run.paths().productSave(), {"a", "b"}), GoodsSave::Saved);
    EXPECT_EQ(readAll(run.paths().productSave()), (Rows{{"a"}, {"b"}}));
}

TEST_F(GoodsTablesTest, ASaveAfterTheTableWentMakesItAgainWithTheList) {
    run.setProductSave({"旧"});
    ASSERT_TRUE(openGoodsNames(run.paths().productSave()));
    fs::remove(run.paths().productSave());
    EXPECT_EQ(saveGoodsList(run.paths().productSave(), {"a", "b"}), GoodsSave::Saved);
    EXPECT_EQ(readAll(run.paths().productSave()), (Rows{{"a"}, {"b"}}));
}

TEST_F(GoodsTablesTest, LookupReadsPriceAndStockByPositionAndClosesTheTable) {
    run.setProducts({{"苹果", "2.5", "3"}, {"牛奶", "12元", "2"}});
    const auto offer = lookupGoods(run.paths().product(), 1);
    ASSERT_TRUE(offer);
    EXPECT_EQ(offer->price, "12元");
    EXPECT_EQ(offer->stock, "2");
    EXPECT_FALSE(st::select(run.paths().product()));
    // Past the last product both texts are empty.
    const auto past = lookupGoods(run.paths().product(), 5);
    ASSERT_TRUE(past);
    EXPECT_EQ(past->price, "");
    EXPECT_EQ(past->stock, "");
    std::filesystem::remove(run.paths().product());
    EXPECT_FALSE(lookupGoods(run.paths().product(), 0));
}

}  // namespace
}  // namespace shop::checkout
