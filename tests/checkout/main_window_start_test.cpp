// Starting the program: the main window's creation step, its controls and
// captions, the navigation, the inert controls and the silent exits.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QGroupBox>
#include <QMenu>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "app/clock.h"
#include "app/drag_state.h"
#include "storage/date_text.h"
#include "storage/table.h"
#include "support/main_window_driver.h"

namespace shop::test {
namespace {

namespace fs = std::filesystem;
namespace st = shop::storage;

std::vector<std::string> salesFiles(const RunFolder& run) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(run.paths().salesFolder()))
        names.push_back(e.path().filename().string());
    return names;
}

TEST(MainWindowStart, FillsTheGoodsComboAndCreatesThisRunsSalesTable) {
    MainWindowDriver d;
    d.run.setProductSave({"苹果", "", "牛奶"});
    const st::Moment before = st::now();
    d.start();
    EXPECT_FALSE(d.platform.exited());
    EXPECT_FALSE(d.window->failedToStart());
    EXPECT_EQ(d.items(d.goods()), (QStringList{"苹果", "", "牛奶"}));
    EXPECT_EQ(d.goods()->currentText(), "");
    EXPECT_EQ(d.goods()->currentIndex(), -1);

    // One new, empty sales table named after the start moment, current.
    const auto files = salesFiles(d.run);
    ASSERT_EQ(files.size(), 1u);
    const std::string& path = d.window->runSalesPath();
    EXPECT_EQ(fs::path(path).filename().string(), files[0]);
    ASSERT_EQ(files[0].rfind("销售数据", 0), 0u);
    const std::string stamp = files[0].substr(std::string("销售数据").size(),
                                              files[0].size() - std::string("销售数据.edb").size());
    const auto when = st::parseDateText(stamp);
    ASSERT_TRUE(when) << stamp;
    EXPECT_GE(st::dayNumber(*when), st::dayNumber(before));
    EXPECT_EQ(st::currentPath(), path);
    EXPECT_EQ(st::recordCount(), 0);
    EXPECT_EQ(st::fields().size(), 4u);
    // The product-save table stays open for the goods-list save.
    EXPECT_TRUE(st::select(d.run.paths().productSave()));
}

TEST(MainWindowStart, AnEmptyProductSaveTableGivesAnEmptyComboAndAWorkingWindow) {
    MainWindowDriver d;
    d.start();
    EXPECT_FALSE(d.platform.exited());
    EXPECT_EQ(d.goods()->count(), 0);
    // It answers: with nothing to choose, 添加 says what is missing.
    d.click("图形按钮_添加");
    EXPECT_EQ(d.list()->topLevelItemCount(), 0);
    EXPECT_EQ(d.hint(), "请先选择商品");
}

TEST(MainWindowStart, AMissingProductSaveTableEndsTheProcessWithAFailureCode) {
    MainWindowDriver d;
    fs::remove(d.run.paths().productSave());
    d.start();
    EXPECT_TRUE(d.platform.exited());
    EXPECT_NE(d.platform.exitCode(),
              0);  // not a success; the line on stderr is tested on the program
    EXPECT_TRUE(d.platform.messages().isEmpty());  // no message box on this path
    EXPECT_TRUE(d.window->failedToStart());
    // The creation step stopped before the sales table.
    EXPECT_TRUE(salesFiles(d.run).empty());
}

TEST(MainWindowStart, ASalesTableThatDoesNotOpenEndsTheProcessWithAFailureCode) {
    MainWindowDriver d;
    d.run.setProductSave({"苹果"});
    // Something that is no table already holds this run's name (and the
    // names of the next seconds, in case the clock ticks meanwhile).
    const QDateTime now = QDateTime::currentDateTime();
    for (int s = 0; s < 5; ++s) {
        const QDateTime t = now.addSecs(s);
        const st::Moment m{t.date().year(), t.date().month(),  t.date().day(),
                           t.time().hour(), t.time().minute(), t.time().second()};
        std::ofstream(d.run.paths().salesTable(m)) << "junk";
    }
    d.start();
    EXPECT_TRUE(d.platform.exited());
    EXPECT_NE(d.platform.exitCode(),
              0);  // not a success; the line on stderr is tested on the program
    EXPECT_TRUE(d.platform.messages().isEmpty());  // no message box on this path
    EXPECT_TRUE(d.window->failedToStart());
    std::ifstream in(d.window->runSalesPath());
    std::string content;
    in >> content;
    EXPECT_EQ(content, "junk");  // left as it was
}

TEST(MainWindowStart, WithoutASalesFolderTheRunSaysSoAndKeepsItsSalesUntilTheyAreStored) {
    MainWindowDriver d;
    d.run.setProducts({{"苹果", "2元", "5"}});
    d.run.setProductSave({"苹果"});
    fs::remove_all(d.run.paths().salesFolder());
    d.start();
    EXPECT_FALSE(d.platform.exited());
    ASSERT_EQ(d.platform.messages().size(), 1);  // said once, before the first sale
    EXPECT_TRUE(d.platform.messages()[0].contains("销售表无法创建"));
    d.chooseGoods(0);
    d.chooseQuantity("1");
    d.click("图形按钮_添加");
    d.click("图形按钮1_关闭");
    EXPECT_FALSE(d.platform.exited());
    EXPECT_EQ(d.platform.messages().last(), "错误");
    EXPECT_EQ(d.list()->topLevelItemCount(), 1);
    // The folder is back: the second close stores the row.
    fs::create_directory(d.run.paths().salesFolder());
    const auto shown = d.rows();
    d.click("图形按钮1_关闭");
    EXPECT_TRUE(d.platform.exited());
    EXPECT_EQ(readAll(d.window->runSalesPath()), shown);
}

TEST(MainWindowStart, ARunStartedAtMidnightNamesItsTableByTheDayAlone) {
    MainWindowDriver d;
    d.run.setProducts({{"苹果", "2元", "5"}});
    d.run.setProductSave({"苹果"});
    st::Moment moment{2024, 3, 1, 0, 0, 0};
    app::ClockOverride clock([&moment] { return moment; });
    d.start();
    ASSERT_FALSE(d.platform.exited());
    EXPECT_EQ(fs::path(d.window->runSalesPath()).filename(), "销售数据2024年3月1日.edb");
    EXPECT_EQ(salesFiles(d.run), (std::vector<std::string>{"销售数据2024年3月1日.edb"}));
    moment = {2024, 3, 1, 0, 0, 1};
    d.chooseGoods(0);
    d.chooseQuantity("1");
    d.click("图形按钮_添加");
    EXPECT_EQ(d.rows()[0][3], "2024年3月1日0时0分1秒");
    d.click("图形按钮1_关闭");
    EXPECT_EQ(readAll(d.window->runSalesPath()), d.rows());
}

TEST(MainWindowStart, IsAFramelessWindowOfTheDesignedSizeAndPlace) {
    MainWindowDriver d;
    d.start();
    EXPECT_EQ(d.window->geometry(), QRect(50, 50, 899, 586));
    EXPECT_TRUE(d.window->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(d.window->isEnabled());
    EXPECT_EQ(d.window->windowState(), Qt::WindowNoState);
    auto* timer = d.window->findChild<QTimer*>(QStringLiteral("时钟1"));
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->interval(), 100);
    auto* tabs = d.child<QTabWidget>("选择夹1");
    // Designed 928 wide, the tab control and the group in it end at the
    // window's edge instead of running past it.
    EXPECT_EQ(tabs->geometry(), QRect(0, 61, d.window->width(), 507));
    EXPECT_EQ(d.list()->size(), QSize(688, 425));
    const QRect group = d.child<QGroupBox>("分组框_计算区域")->geometry();
    EXPECT_EQ(group.topLeft(), QPoint(694, 30));
    EXPECT_EQ(group.height(), 425);
    EXPECT_LE(tabs->x() + group.right(), d.window->width() - 1);
    EXPECT_EQ(d.child<QGroupBox>("分组框_计算区域")->title(), "结账操作");
    for (const char* nav :
         {"图形按钮_添加产品", "图形按钮_添加产品1", "图形按钮_添加产品2", "图形按钮_添加产品3"})
        EXPECT_EQ(d.button(nav)->size(), QSize(71, 63)) << nav;
    for (const char* title : {"图形按钮1_易", "图形按钮1_放大", "图形按钮1_关闭"})
        EXPECT_EQ(d.button(title)->size(), QSize(22, 18)) << title;
    // 按钮2 lies above the visible area.
    EXPECT_LT(d.button("按钮2")->geometry().bottom(), 0);
}

TEST(MainWindowStart, ShowsEveryCaptionAsDesigned) {
    MainWindowDriver d;
    d.start();
    const std::vector<std::pair<const char*, const char*>> captions{
        {"透明标签4", "澄屿店铺管理系统  （测试版） "},
        {"透明标签2", "添加产品"},
        {"透明标签3", "查看业绩"},
        {"透明标签5", "员工管理"},
        {"透明标签1", "结账区域"},
        {"透明标签_全部", "   名称；\n   价格；\n   数量;"},
        {"标签_当前余额", "当前余额"},
        {"透明标签_消费金额", "消费金额"},
        {"透明标签_余额", "00  元"},
        {"透明标签_找零钱", "找零金额"},
        {"透明标签_找0钱", "00  元"},
    };
    for (const auto& [name, text] : captions)
        EXPECT_EQ(d.label(name)->text(), QString::fromUtf8(text)) << name;
    EXPECT_EQ(d.label("透明标签6")->text(), QStringLiteral("更多功能"));
    EXPECT_FALSE(d.label("透明标签7")->text().isEmpty());
    const QStringList headings{"商品名称", "价格", "数量", "销售日期"};
    ASSERT_EQ(d.list()->columnCount(), 4);
    for (int c = 0; c < 4; ++c) EXPECT_EQ(d.list()->headerItem()->text(c), headings[c]);
    EXPECT_FALSE(d.list()->rootIsDecorated());
    for (const char* box : {"图片框1", "图片框2", "图片框3", "图片框4", "图片框5", "图片框6",
                            "图片框7", "图片框_背景", "图片框_背景1"})
        EXPECT_NE(d.window->findChild<QWidget*>(QString::fromUtf8(box)), nullptr) << box;
}

TEST(MainWindowStart, TheStatusBarCarriesOneFixedNotice) {
    MainWindowDriver d;
    d.start();
    auto* bar = d.child<QStatusBar>("状态条1");
    const auto parts = bar->findChildren<QLabel*>();
    ASSERT_EQ(parts.size(), 1);
    EXPECT_FALSE(parts[0]->text().isEmpty());
    EXPECT_EQ(bar->geometry().bottom(), d.window->height() - 1);
}

struct Opened {
    int product = 0, performance = 0, directory = 0, leave = 0, receipt = 0, refund = 0,
        dayClose = 0;
    QWidget* parent = nullptr;
    app::CheckoutArea area;
};

app::Navigation recording(Opened& o) {
    app::Navigation nav;
    nav.productWindow = [&o](QWidget* p, const app::CheckoutArea& a) {
        ++o.product, o.parent = p, o.area = a;
    };
    nav.performanceWindow = [&o](QWidget* p) { ++o.performance, o.parent = p; };
    nav.employeeDirectory = [&o](QWidget* p) { ++o.directory, o.parent = p; };
    nav.leaveWindow = [&o](QWidget* p) { ++o.leave, o.parent = p; };
    nav.receiptWindow = [&o](QWidget* p, const app::CheckoutArea& a) {
        ++o.receipt, o.parent = p, o.area = a;
    };
    nav.refundWindow = [&o](QWidget* p, checkout::SaleModel&) { ++o.refund, o.parent = p; };
    nav.dayClose = [&o](QWidget* p) { ++o.dayClose, o.parent = p; };
    return nav;
}

TEST(MainWindowNavigation, EachButtonOpensItsWindowEveryTime) {
    MainWindowDriver d;
    Opened o;
    d.start(recording(o));
    d.click("图形按钮_添加产品");
    d.click("图形按钮_添加产品");
    EXPECT_EQ(o.product, 2);
    EXPECT_EQ(o.parent, d.window.get());
    EXPECT_EQ(o.area.goods, d.goods());
    d.click("图形按钮_添加产品1");
    EXPECT_EQ(o.performance, 1);
    d.click("图形按钮_添加产品2");
    EXPECT_EQ(o.directory, 1);
    d.click("图形按钮_生成账单");
    EXPECT_EQ(o.receipt, 1);
    EXPECT_EQ(o.area.list, d.list());
    EXPECT_EQ(o.area.total, d.label("透明标签_余额"));

    // 更多功能 pops up its menu; each entry opens its function.
    for (const auto& [entry, count] :
         {std::pair<QString, int*>{"退货", &o.refund}, {"日结", &o.dayClose}}) {
        d.click("图形按钮_添加产品3");
        auto* menu = d.window->findChild<QMenu*>(QStringLiteral("菜单_更多功能"));
        ASSERT_TRUE(menu && menu->isVisible());
        const QList<QAction*> actions = menu->actions();
        const auto it = std::find_if(actions.begin(), actions.end(),
                                     [&](QAction* a) { return a->text() == entry; });
        ASSERT_NE(it, actions.end()) << entry.toStdString();
        (*it)->trigger();
        menu->hide();
        EXPECT_EQ(*count, 1) << entry.toStdString();
    }
}

TEST(MainWindowNavigation, ALeftPressOnTheNoticeOpensTheLeaveWindow) {
    MainWindowDriver d;
    Opened o;
    d.start(recording(o));
    QLabel* notice = d.label("透明标签7");
    QTest::mousePress(notice, Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_EQ(o.leave, 0);
    QTest::mousePress(notice, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(o.leave, 1);
    QTest::mouseClick(notice, Qt::LeftButton, {}, QPoint(6, 6));
    EXPECT_EQ(o.leave, 2);
}

TEST(MainWindowNavigation, UnwiredOpenersAndInertControlsDoNothing) {
    MainWindowDriver d;
    Opened o;
    d.start();  // nothing wired
    for (const char* b :
         {"图形按钮_添加产品", "图形按钮_添加产品1", "图形按钮_添加产品2", "图形按钮_生成账单"})
        d.click(b);
    QTest::mouseClick(d.label("透明标签7"), Qt::LeftButton);

    MainWindowDriver e;
    e.start(recording(o));
    const QRect before = e.window->geometry();
    for (const char* b : {"图形按钮1_易", "按钮2"}) e.click(b);
    EXPECT_EQ(o.product + o.performance + o.directory + o.leave + o.receipt, 0);
    EXPECT_EQ(e.window->geometry(), before);
    EXPECT_EQ(e.window->windowState(), Qt::WindowNoState);
    EXPECT_FALSE(e.platform.exited());
    EXPECT_TRUE(e.platform.messages().isEmpty());
    EXPECT_EQ(e.list()->topLevelItemCount(), 0);
}

TEST(MainWindowNavigation, AWindowSystemCloseLeavesLikeTheCloseButton) {
    MainWindowDriver d;
    d.run.setProducts({{"a", "1", "2"}});
    d.run.setProductSave({"a"});
    d.start();
    d.chooseGoods(0);
    d.click("图形按钮_添加");
    d.window->close();
    EXPECT_TRUE(d.platform.exited());
    EXPECT_EQ(readAll(d.window->runSalesPath()).size(), 1u);
}

}  // namespace
}  // namespace shop::test
