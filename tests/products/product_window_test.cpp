// The product window: loading, showing, adding (the whole validation table),
// changing, emptying, closing, and the failed rewrite that keeps the old
// catalogue.
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QtTest/QTest>
#include <filesystem>
#include <optional>

#include "app/drag_state.h"
#include "product_fixture.h"
#include "support/exclusive_hold.h"

namespace shop::products {
namespace {

using namespace test_support;

class ProductWindowTest : public ProductTest {
protected:
    void SetUp() override { run.setProducts({{"可乐", "3元", "10"}, {"面包", "4.5元", "5"}}); }
};

TEST_F(ProductWindowTest, LoadsTheCatalogueAndKeepsTheTableOpenAndCurrent) {
    app::dragState(QStringLiteral("product/图片框_移动")).flag = 1;
    ProductWindow w(checkout());
    EXPECT_EQ(app::dragState(QStringLiteral("product/图片框_移动")).flag, 0);
    EXPECT_EQ(w.size(), QSize(718, 424));
    EXPECT_EQ(w.windowTitle(), "添加产品_窗口");
    EXPECT_EQ(w.findChild<QLabel*>("透明标签3")->text(), "澄屿_添加产品");
    EXPECT_EQ(w.findChild<QLabel*>("状态条1")->text(),
              "填写名称、价格和数量后点\u201c添加产品\u201d；选中一行可\u201c修改产品\u201d");
    EXPECT_EQ(lists(w), (Rows{{"可乐", "3元", "10"}, {"面包", "4.5元", "5"}}));
    EXPECT_EQ(storage::currentName(), "产品数据库");
    for (const char* name : {"编辑框_名称", "编辑框_产品价格", "编辑框_数量"})
        EXPECT_EQ(box(w, name)->text(), "");
}

const QString kUnreadable = QStringLiteral("产品数据库读取失败，请你检查数据库");

// Types a product and tries an add, a change, emptying and the import.
void tryEveryChange(const ProductWindow& w) {
    fill(w, "牛奶", "6", "3");
    for (const char* button :
         {"图形按钮_添加产品", "图形按钮_生成账单2", "图形按钮_生成账单1", "图形按钮_导入产品"})
        click(w, button);
}

// A catalogue that could not be read is said to be so, and nothing the window
// does rewrites the product table (or the product-save table) from its empty
// lists. Once the table reads again, the refused add goes in on top of it.
TEST_F(ProductWindowTest, AnUnreadableCatalogueIsSaidAndNeverRewritten) {
    const Rows catalogue{{"可乐", "3元", "10"}, {"面包", "4.5元", "5"}};
    run.setProductSave({"可乐", "面包"});
    openSaveTableLikeTheMainWindow();
    goods.addItems({"可乐", "面包"});
    auto lock = std::make_unique<test::ExclusiveHold>(run.paths().product());
    ASSERT_TRUE(lock->held());
    ProductWindow w(checkout());
    EXPECT_EQ(platform.messages(), QStringList{kUnreadable});
    EXPECT_TRUE(lists(w).empty());

    tryEveryChange(w);
    EXPECT_EQ(platform.messages(), QStringList(5, kUnreadable));
    EXPECT_TRUE(platform.questions().isEmpty());
    EXPECT_FALSE(platform.exited());
    EXPECT_TRUE(lists(w).empty());
    EXPECT_EQ(box(w, "编辑框_名称")->text(), "牛奶");  // kept for another try
    EXPECT_EQ(goods.count(), 2);
    lock.reset();
    EXPECT_EQ(productTable(), catalogue);
    EXPECT_EQ(saveTable(), (Rows{{"可乐"}, {"面包"}}));

    platform.clear();
    click(w, "图形按钮_添加产品");
    EXPECT_TRUE(platform.messages().isEmpty());
    const Rows added{{"可乐", "3元", "10"}, {"面包", "4.5元", "5"}, {"牛奶", "6元", "3"}};
    EXPECT_EQ(lists(w), added);
    EXPECT_EQ(productTable(), added);
}

TEST_F(ProductWindowTest, AMissingTableIsSaidAndRefusesEveryChange) {
    const std::string table = run.paths().product();
    std::filesystem::remove(std::filesystem::path(std::u8string(table.begin(), table.end())));
    ProductWindow w(checkout());
    tryEveryChange(w);
    EXPECT_EQ(platform.messages(), QStringList(5, kUnreadable));
    EXPECT_TRUE(lists(w).empty());
    EXPECT_FALSE(
        std::filesystem::exists(std::filesystem::path(std::u8string(table.begin(), table.end()))));
}

TEST_F(ProductWindowTest, FocusingAListChoosesNothing) {
    ProductWindow w(checkout());
    w.show();
    QApplication::setActiveWindow(&w);
    list(w, "选择列表框_设置商品名称")->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    EXPECT_EQ(box(w, "编辑框_名称")->text(), "");
    fill(w, "x", "1", "1");
    click(w, "图形按钮_生成账单2");  // no entry was chosen: nothing changes
    EXPECT_EQ(lists(w), (Rows{{"可乐", "3元", "10"}, {"面包", "4.5元", "5"}}));
}

TEST_F(ProductWindowTest, ChoosingAnEntryInAnyListShowsIt) {
    ProductWindow w(checkout());
    QListWidget* quantities = list(w, "选择列表框_设置商品数量");
    QTest::mouseClick(quantities->viewport(), Qt::LeftButton, {},
                      quantities->visualItemRect(quantities->item(1)).center());
    EXPECT_EQ(box(w, "编辑框_名称")->text(), "面包");
    EXPECT_EQ(box(w, "编辑框_产品价格")->text(), "4.5元");
    EXPECT_EQ(box(w, "编辑框_数量")->text(), "5");
    list(w, "选择列表框_设置商品价格")->setCurrentRow(0);
    EXPECT_EQ(box(w, "编辑框_名称")->text(), "可乐");
}

// Every row of the add table: which boxes are filled, and what follows.
struct AddCase {
    const char* name;
    const char* price;
    const char* quantity;
    const char* message;  // nullptr: silent
    bool accepted;
};

class AddTable : public ProductWindowTest, public ::testing::WithParamInterface<AddCase> {};

TEST_P(AddTable, DecidesByWhichBoxesAreEmpty) {
    const AddCase c = GetParam();
    ProductWindow w(checkout());
    fill(w, QString::fromUtf8(c.name), QString::fromUtf8(c.price), QString::fromUtf8(c.quantity));
    click(w, "图形按钮_添加产品");
    EXPECT_EQ(platform.messages(),
              c.message ? QStringList{QString::fromUtf8(c.message)} : QStringList{});
    Rows expected{{"可乐", "3元", "10"}, {"面包", "4.5元", "5"}};
    if (c.accepted) expected.push_back({c.name, std::string(c.price) + "元", c.quantity});
    EXPECT_EQ(lists(w), expected);
    EXPECT_EQ(productTable(), expected);
    // Refused: the boxes keep what was typed; accepted: all three emptied.
    EXPECT_EQ(box(w, "编辑框_名称")->text(), c.accepted ? "" : QString::fromUtf8(c.name));
    EXPECT_EQ(box(w, "编辑框_数量")->text(), c.accepted ? "" : QString::fromUtf8(c.quantity));
    EXPECT_FALSE(platform.exited());
}

INSTANTIATE_TEST_SUITE_P(
    EveryCombination, AddTable,
    ::testing::Values(AddCase{"牛奶", "", "3", "价格不能为空", false},
                      AddCase{"", "6", "3", "名字不能为空", false},
                      AddCase{"牛奶", "6", "", "数量不能为空", false},
                      AddCase{"牛奶", "6", "3", nullptr, true},
                      AddCase{"牛奶", "", "", "产品数量，产品价格不能为空 ", false},
                      AddCase{"", "", "3", nullptr, false}, AddCase{"", "6", "", nullptr, false},
                      AddCase{"", "", "", nullptr, false},
                      AddCase{" ", " ", " ", nullptr, true},          // blanks are content
                      AddCase{"牛奶", "abc", "-2", nullptr, true}));  // forms are not examined

TEST_F(ProductWindowTest, ReAddingAChosenEntryKeepsItsOneYuan) {
    run.setProducts({{"可乐", "12元", "10"}});
    ProductWindow w(checkout());
    list(w, "选择列表框_设置商品名称")->setCurrentRow(0);
    click(w, "图形按钮_添加产品");
    EXPECT_EQ(productTable(), (Rows{{"可乐", "12元", "10"}, {"可乐", "12元", "10"}}));
}

// A change stores its price as an add does: with one 元.
TEST_F(ProductWindowTest, AChangeStoresThePriceAsAnAddDoes) {
    const struct {
        const char* typed;
        const char* stored;
    } cases[] = {{"6.5", "6.5元"}, {"4.5元", "4.5元"}, {"", "元"}, {"abc", "abc元"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        run.setProducts({{"可乐", "3元", "10"}, {"面包", "4.5元", "5"}});
        ProductWindow w(checkout());
        list(w, "选择列表框_设置商品名称")->setCurrentRow(1);
        box(w, "编辑框_产品价格")->setText(QString::fromUtf8(c.typed));
        click(w, "图形按钮_生成账单2");
        const Rows expected{{"可乐", "3元", "10"}, {"面包", c.stored, "5"}};
        EXPECT_EQ(lists(w), expected);
        EXPECT_EQ(productTable(), expected);
    }
}

TEST_F(ProductWindowTest, AChangeIsStoredAtOnceAndOutlivesTheWindow) {
    {
        ProductWindow w(checkout());
        list(w, "选择列表框_设置商品名称")->setCurrentRow(1);
        fill(w, "全麦面包", "6", "8");
        click(w, "图形按钮_生成账单2");
        EXPECT_EQ(lists(w), (Rows{{"可乐", "3元", "10"}, {"全麦面包", "6元", "8"}}));
        EXPECT_EQ(productTable(), (Rows{{"可乐", "3元", "10"}, {"全麦面包", "6元", "8"}}));
        click(w, "图形按钮1_关闭5");
    }
    ProductWindow again(checkout());
    EXPECT_EQ(lists(again), (Rows{{"可乐", "3元", "10"}, {"全麦面包", "6元", "8"}}));
    // A later add keeps the change and appends.
    fill(again, "牛奶", "6", "3");
    click(again, "图形按钮_添加产品");
    EXPECT_EQ(productTable(),
              (Rows{{"可乐", "3元", "10"}, {"全麦面包", "6元", "8"}, {"牛奶", "6元", "3"}}));
    EXPECT_TRUE(platform.messages().isEmpty());
}

QString tooLongName() {
    QString name;
    for (int i = 0; i < 128; ++i)
        name += QStringLiteral("长");  // 256 GBK bytes: one more than fits
    return name;
}

TEST_F(ProductWindowTest, AFailedChangeIsSaidAndLeavesListsAndTableAsTheyWere) {
    ProductWindow w(checkout());
    list(w, "选择列表框_设置商品名称")->setCurrentRow(0);
    fill(w, tooLongName(), "9", "9");
    click(w, "图形按钮_生成账单2");
    EXPECT_EQ(platform.messages(), QStringList{"产品修改失败"});
    EXPECT_FALSE(platform.exited());
    const Rows before{{"可乐", "3元", "10"}, {"面包", "4.5元", "5"}};
    EXPECT_EQ(lists(w), before);
    EXPECT_EQ(productTable(), before);
    EXPECT_EQ(box(w, "编辑框_名称")->text(), tooLongName());  // kept for another try
}

TEST_F(ProductWindowTest, ChangeWithoutAChosenEntryChangesNothing) {
    ProductWindow w(checkout());
    fill(w, "x", "1", "1");
    click(w, "图形按钮_生成账单2");
    EXPECT_EQ(lists(w), (Rows{{"可乐", "3元", "10"}, {"面包", "4.5元", "5"}}));
    // A position chosen before the lists were emptied no longer exists.
    list(w, "选择列表框_设置商品名称")->setCurrentRow(1);
    platform.queueAnswer(true);
    click(w, "图形按钮_生成账单1");
    fill(w, "x", "1", "1");
    click(w, "图形按钮_生成账单2");
    EXPECT_TRUE(lists(w).empty());
}

// Emptying asks first, naming how many products go; only a Yes empties the
// catalogue, and with it the goods list the checkout sells from. No answer
// at all (the box closed, Enter on its default) is a No.
TEST_F(ProductWindowTest, EmptyingAsksFirstAndAYesEmptiesCatalogueAndGoodsList) {
    const QString question = QStringLiteral(
        "清空产品提示信息|确定清空全部 2 "
        "个产品吗？产品数据库、收银台的商品列表和商品条码都将清空，无法恢复。");
    const Rows catalogue{{"可乐", "3元", "10"}, {"面包", "4.5元", "5"}};
    const struct {
        const char* what;
        std::optional<bool> answer;
        bool emptied;
    } cases[] = {{"yes", true, true}, {"no", false, false}, {"no answer", std::nullopt, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        platform.clear();
        run.setProducts(catalogue);
        run.setProductSave({"可乐", "面包"});
        goods.clear();
        goods.addItems({"可乐", "面包"});
        ProductWindow w(checkout());
        if (c.answer) platform.queueAnswer(*c.answer);
        click(w, "图形按钮_生成账单1");
        EXPECT_EQ(platform.questions(), QStringList{question});
        EXPECT_EQ(platform.messages(),
                  c.emptied ? QStringList{"产品数据库清空成功"} : QStringList{});
        EXPECT_EQ(lists(w), c.emptied ? Rows{} : catalogue);
        EXPECT_EQ(productTable(), c.emptied ? Rows{} : catalogue);
        EXPECT_EQ(saveTable(), c.emptied ? Rows{} : (Rows{{"可乐"}, {"面包"}}));
        EXPECT_EQ(goods.count(), c.emptied ? 0 : 2);
    }
}

// A goods list that cannot be emptied keeps the catalogue too: emptying the
// catalogue alone would leave names on sale without a price.
TEST_F(ProductWindowTest, AGoodsListThatCannotBeEmptiedKeepsTheCatalogue) {
    run.setProductSave({"可乐", "面包"});
    openSaveTableLikeTheMainWindow();
    goods.addItems({"可乐", "面包"});
    ProductWindow w(checkout());
    platform.queueAnswer(true);
    {
        const test::ExclusiveHold lock(run.paths().productSave());  // another program writes
        ASSERT_TRUE(lock.held());
        click(w, "图形按钮_生成账单1");
    }
    EXPECT_EQ(platform.messages(), QStringList{"产品数据库清空失败"});
    const Rows catalogue{{"可乐", "3元", "10"}, {"面包", "4.5元", "5"}};
    EXPECT_EQ(lists(w), catalogue);
    EXPECT_EQ(productTable(), catalogue);
    EXPECT_EQ(saveTable(), (Rows{{"可乐"}, {"面包"}}));
    EXPECT_EQ(goods.count(), 2);
}

TEST_F(ProductWindowTest, FailedRewriteKeepsTheOldCatalogueAndEndsTheProgram) {
    ProductWindow w(checkout());
    fill(w, tooLongName(), "1", "1");
    click(w, "图形按钮_添加产品");
    EXPECT_EQ(platform.messages(), QStringList{"产品添加失败"});
    EXPECT_TRUE(platform.exited());
    EXPECT_EQ(platform.exitCode(), 0);
    EXPECT_EQ(productTable(), (Rows{{"可乐", "3元", "10"}, {"面包", "4.5元", "5"}}));
}

TEST_F(ProductWindowTest, ClosingClosesTheProductTableWhicheverWayItCloses) {
    {
        ProductWindow w(checkout());
        w.show();
        click(w, "图形按钮1_关闭5");
        EXPECT_FALSE(w.isVisible());
        EXPECT_FALSE(storage::select(storage::kProductTableName));
    }
    {
        ProductWindow w(checkout());
        w.show();
        QTest::keyClick(&w, Qt::Key_Escape);
        EXPECT_FALSE(storage::select(storage::kProductTableName));
    }
    { ProductWindow w(checkout()); }
    EXPECT_FALSE(storage::select(storage::kProductTableName));
    EXPECT_EQ(storage::openCount(), 0);
}

// Escape closes at once unless something typed is not yet stored; then it
// asks, and a No keeps the window and the typing.
TEST_F(ProductWindowTest, EscapeAsksOnlyOverTypingNotYetStored) {
    const struct {
        const char* what;
        bool type;
        bool add;  // the typing is then stored by an add
        bool answer;
        bool asked, closed;
    } cases[] = {
        {"nothing typed", false, false, false, false, true},
        {"typed, kept", true, false, false, true, false},
        {"typed, given up", true, false, true, true, true},
        {"typed and added", true, true, false, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        platform.clear();
        ProductWindow w(checkout());
        w.show();
        if (c.type) {
            QTest::keyClicks(box(w, "编辑框_名称"), "milk");
            QTest::keyClicks(box(w, "编辑框_产品价格"), "6");
            QTest::keyClicks(box(w, "编辑框_数量"), "3");
        }
        if (c.add) click(w, "图形按钮_添加产品");
        if (c.asked) platform.queueAnswer(c.answer);
        QTest::keyClick(box(w, "编辑框_名称"), Qt::Key_Escape);
        EXPECT_EQ(platform.questions().size(), c.asked ? 1 : 0);
        EXPECT_EQ(w.isVisible(), !c.closed);
        if (!c.closed) {
            EXPECT_EQ(box(w, "编辑框_名称")->text(), "milk");
        }
    }
}

TEST_F(ProductWindowTest, RightButtonOnTheNameListPopsUpAnInertMenu) {
    ProductWindow w(checkout());
    w.show();
    QListWidget* names = list(w, "选择列表框_设置商品名称");
    QTest::mousePress(names->viewport(), Qt::RightButton, {},
                      names->visualItemRect(names->item(0)).center());
    QMenu* menu = w.popupMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->isVisible());
    EXPECT_EQ(menu->title(), "功能项目");
    ASSERT_EQ(menu->actions().size(), 1);
    EXPECT_EQ(menu->actions()[0]->text(), "删除项目");
    menu->actions()[0]->trigger();
    menu->hide();
    EXPECT_EQ(lists(w), (Rows{{"可乐", "3元", "10"}, {"面包", "4.5元", "5"}}));
    EXPECT_EQ(productTable().size(), 2u);
    // The other lists have no menu.
    QListWidget* prices = list(w, "选择列表框_设置商品价格");
    QTest::mousePress(prices->viewport(), Qt::RightButton, {},
                      prices->visualItemRect(prices->item(0)).center());
    EXPECT_FALSE(menu->isVisible());
}

}  // namespace
}  // namespace shop::products
