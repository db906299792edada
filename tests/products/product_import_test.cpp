// The import of the catalogue's names into the checkout's goods combo and
// the product-save table, and what it leaves current for the product window.
#include "products/product_import.h"

#include <functional>

#include "checkout/main_window.h"
#include "product_fixture.h"
#include "support/main_window_driver.h"

namespace shop::products {
namespace {

using namespace test_support;

const QString kQuestion = QStringLiteral("导入产品提示信息|") + importQuestion(3);

QStringList comboItems(const QComboBox& c) {
    QStringList out;
    for (int i = 0; i < c.count(); ++i) out << c.itemText(i);
    return out;
}

class ImportTest : public ProductTest {
protected:
    void SetUp() override {
        run.setProducts({{"可乐", "3元", "10"}, {"面包", "4.5元", "5"}, {"牛奶", "6元", "3"}});
        run.setProductSave({"旧1", "旧2"});
        openSaveTableLikeTheMainWindow();
    }
};

TEST_F(ImportTest, EmptyComboTakesTheNamesWithoutAskingAndStoresThem) {
    ProductWindow w(checkout());
    click(w, "图形按钮_导入产品");
    EXPECT_EQ(comboItems(goods), (QStringList{"可乐", "面包", "牛奶"}));
    EXPECT_EQ(platform.messages(), QStringList{"产品导入成功"});
    EXPECT_TRUE(platform.questions().isEmpty());
    EXPECT_EQ(saveTable(), (Rows{{"可乐"}, {"面包"}, {"牛奶"}}));
    EXPECT_EQ(storage::currentName(), "产品保存");
}

TEST_F(ImportTest, SecondImportAsksAndNoChangesNothing) {
    ProductWindow w(checkout());
    click(w, "图形按钮_导入产品");
    platform.clear();
    platform.queueAnswer(false);
    click(w, "图形按钮_导入产品");
    EXPECT_EQ(platform.questions(), QStringList{kQuestion});
    EXPECT_TRUE(platform.messages().isEmpty());
    EXPECT_EQ(comboItems(goods), (QStringList{"可乐", "面包", "牛奶"}));
    EXPECT_EQ(saveTable(), (Rows{{"可乐"}, {"面包"}, {"牛奶"}}));
}

TEST_F(ImportTest, YesReplacesTheSaveTableAndRefillsTheCombo) {
    goods.addItems({"旧1", "旧2"});
    ProductWindow w(checkout());
    platform.queueAnswer(true);
    click(w, "图形按钮_导入产品");
    EXPECT_EQ(comboItems(goods), (QStringList{"可乐", "面包", "牛奶"}));
    EXPECT_EQ(platform.messages(), QStringList{"产品导入成功"});
    EXPECT_EQ(platform.questions(), QStringList{kQuestion});
    EXPECT_EQ(saveTable(), (Rows{{"可乐"}, {"面包"}, {"牛奶"}}));
    EXPECT_EQ(storage::currentName(), "产品保存");
}

// An empty catalogue is refused before anything is asked; a save table the
// import cannot write is said so; the goods list stays as it was.
TEST_F(ImportTest, AnImportThatCannotBeDoneKeepsTheGoodsList) {
    const struct {
        const char* what;
        bool comboFilled;
        std::function<void()> plant;
        const char* said;
        bool asked;
    } cases[] = {
        {"empty catalogue, empty combo", false, [&] { run.setProducts({}); }, "产品导入失败",
         false},
        {"empty catalogue", true, [&] { run.setProducts({}); }, "产品导入失败", false},
        {"save table not open", true, [&] { storage::close(run.paths().productSave()); },
         "选择取消", true},
        {"save table read-only", true,
         [&] {
             storage::close(run.paths().productSave());
             ASSERT_TRUE(storage::open(run.paths().productSave(), /*readOnly=*/true));
         },
         "产品导入失败", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        storage::closeAll();
        SetUp();
        platform.clear();
        goods.clear();
        if (c.comboFilled) goods.addItem("旧1");
        c.plant();
        ProductWindow w(checkout());
        platform.queueAnswer(true);
        click(w, "图形按钮_导入产品");
        EXPECT_EQ(platform.messages(), QStringList{c.said});
        EXPECT_EQ(comboItems(goods), c.comboFilled ? QStringList{"旧1"} : QStringList{});
        EXPECT_EQ(saveTable(), (Rows{{"旧1"}, {"旧2"}}));
        EXPECT_EQ(platform.questions().size(), c.asked ? 1 : 0);
    }
}

TEST_F(ImportTest, AfterAYesImportAddsAndChangesAreStoredAndClosingKeepsTheSaveTable) {
    goods.addItem("旧1");
    {
        ProductWindow w(checkout());
        platform.queueAnswer(true);
        click(w, "图形按钮_导入产品");
        fill(w, "酸奶", "5", "4");
        click(w, "图形按钮_添加产品");
        list(w, "选择列表框_设置商品名称")->setCurrentRow(0);
        fill(w, "雪碧", "2.5元", "7");
        click(w, "图形按钮_生成账单2");
        EXPECT_EQ(saveTable(), (Rows{{"可乐"}, {"面包"}, {"牛奶"}}));
        click(w, "图形按钮1_关闭5");
    }
    EXPECT_EQ(productTable(), (Rows{{"雪碧", "2.5元", "7"},
                                    {"面包", "4.5元", "5"},
                                    {"牛奶", "6元", "3"},
                                    {"酸奶", "5元", "4"}}));
    // The window closed its own table only: the main window's product-save
    // table is still open for its save.
    EXPECT_FALSE(storage::isOpen(run.paths().product()));
    EXPECT_TRUE(storage::select(run.paths().productSave()));
    EXPECT_EQ(storage::openCount(), 1);
}

TEST_F(ImportTest, EmptyingAfterAnImportEmptiesTheProductTableAndTheGoodsList) {
    goods.addItem("旧1");
    ProductWindow w(checkout());
    platform.queueAnswer(true);
    click(w, "图形按钮_导入产品");
    platform.clear();
    platform.queueAnswer(true);
    click(w, "图形按钮_生成账单1");
    EXPECT_EQ(platform.messages(), QStringList{"产品数据库清空成功"});
    EXPECT_TRUE(productTable().empty());
    EXPECT_EQ(storage::currentName(), "产品数据库");
    EXPECT_TRUE(lists(w).empty());
    // No name is left to sell without its product.
    EXPECT_EQ(goods.count(), 0);
    EXPECT_TRUE(saveTable().empty());
}

// What the owner sees after an import, a closed product window and a new
// start of the program: the imported names, once each, whether or not the
// goods list was saved, and however often.
TEST(ImportAndRestart, TheGoodsBoxOffersTheImportedNamesOnce) {
    for (const int saves : {0, 1, 3}) {
        SCOPED_TRACE(saves);
        test::MainWindowDriver d;
        d.run.setProducts({{"可乐", "3元", "10"}, {"面包", "4.5元", "5"}});
        d.run.setProductSave({"旧1", "旧2", "旧3"});
        d.start();
        ASSERT_FALSE(d.window->failedToStart());
        {
            ProductWindow w(d.window->checkoutArea());
            d.platform.queueAnswer(true);
            click(w, "图形按钮_导入产品");
            click(w, "图形按钮1_关闭5");
        }
        for (int i = 0; i < saves; ++i) d.click("图形按钮_保存");
        d.click("图形按钮1_关闭");
        ASSERT_TRUE(d.platform.exited());
        d.window.reset();
        storage::closeAll();  // the process ends
        EXPECT_EQ(test::readAll(d.run.paths().productSave()), (Rows{{"可乐"}, {"面包"}}));

        d.start();
        ASSERT_FALSE(d.window->failedToStart());
        EXPECT_EQ(d.items(d.goods()), (QStringList{"可乐", "面包"}));
    }
}

}  // namespace
}  // namespace shop::products
