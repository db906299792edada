// The performance window driven through its controls: dates, query button,
// list, status bar, pie chart and title-bar buttons.
#include "performance/performance_window.h"

#include <gtest/gtest.h>

#include <QChart>
#include <QChartView>
#include <QDateEdit>
#include <QLabel>
#include <QPieSeries>
#include <QPieSlice>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTreeView>
#include <filesystem>

#include "app/drag_state.h"
#include "app/scripted_platform.h"
#include "sales_fixture.h"
#include "support/window_probe.h"

namespace shop::test {
namespace {

using performance::PerformanceWindow;

class PerformanceWindowTest : public ::testing::Test {
protected:
    app::ScriptedPlatform platform;
    RunFolder run;

    template <typename T>
    static T* child(const PerformanceWindow& w, const char* name) {
        T* found = w.findChild<T*>(QString::fromUtf8(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    static void setRange(PerformanceWindow& w, QDate first, QDate last) {
        child<QDateEdit>(w, "日期框_起")->setDate(first);
        child<QDateEdit>(w, "日期框_终")->setDate(last);
    }

    static void query(PerformanceWindow& w) { child<QPushButton>(w, "图形按钮_查询")->click(); }

    static std::vector<std::vector<std::string>> listRows(const PerformanceWindow& w) {
        return test::modelRows(*child<QTreeView>(w, "超级列表框_业绩")->model());
    }

    static std::vector<double> chartValues(const PerformanceWindow& w) {
        std::vector<double> values;
        for (const QPieSlice* slice : w.chartSeries()->slices()) values.push_back(slice->value());
        return values;
    }
};

TEST_F(PerformanceWindowTest, IsSetUpAsDesigned) {
    app::dragState("performance/图片框3").flag = 1;  // left over from an earlier drag
    PerformanceWindow w;
    EXPECT_EQ(w.size(), QSize(738, 514));
    EXPECT_EQ(w.windowTitle(), QString("澄屿查看业绩系统"));
    EXPECT_EQ(app::dragState("performance/图片框3").flag, 0);
    EXPECT_TRUE(w.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_FALSE(w.failedToOpen());

    bool headingFound = false;
    for (const QLabel* label : w.findChildren<QLabel*>())
        headingFound |= label->text() == QString("澄屿_查看业绩 ");
    EXPECT_TRUE(headingFound);

    const QAbstractItemModel* list = child<QTreeView>(w, "超级列表框_业绩")->model();
    ASSERT_EQ(list->columnCount(), 4);
    const QStringList columns = {"销售名称", "销售价格", "销售销量", "销售时间"};
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(list->headerData(c, Qt::Horizontal).toString(), columns[c]);
    EXPECT_EQ(list->rowCount(), 0);

    child<QStatusBar>(w, "状态条1");
    EXPECT_EQ(w.statusPart(0), QString("产品销量"));

    auto* view = child<QChartView>(w, "业绩百分比图");
    ASSERT_NE(view, nullptr);
    ASSERT_EQ(view->chart()->series().size(), 1);
    EXPECT_EQ(view->chart()->series().first(), w.chartSeries());
    const auto slices = w.chartSeries()->slices();
    ASSERT_EQ(slices.size(), 3);
    EXPECT_EQ(slices[0]->label(), QString("销量"));
    EXPECT_EQ(slices[1]->label(), QString("销售收入"));
    EXPECT_EQ(slices[2]->label(), QString("销售总数量"));
    EXPECT_EQ(slices[1]->color(), QColor(144, 0, 255));
    EXPECT_EQ(slices[2]->color(), QColor(0, 255, 0));
    EXPECT_NE(slices[0]->color(), slices[1]->color());
    EXPECT_EQ(chartValues(w), (std::vector<double>{0, 0, 0}));

    // Every part fits inside the shown window (the tabs lay out their pages then).
    w.show();
    for (const char* name : {"超级列表框_业绩", "列表_销售排行", "图表_每日销售", "业绩百分比图",
                             "状态条1", "图形按钮_查询", "图形按钮1_关闭1"}) {
        const QWidget* widget = child<QWidget>(w, name);
        const QRect inWindow(widget->mapTo(&w, QPoint(0, 0)), widget->size());
        EXPECT_TRUE(w.rect().contains(inWindow)) << name;
    }
}

TEST_F(PerformanceWindowTest, QueryFillsTheListStatusBarAndChart) {
    const Records records = {{"苹果", "12元", "3", "2024年3月5日9时1分2秒"},
                             {"梨", "2.5", "4", "2024年3月5日9时3分0秒"}};
    makeSalesTable(run, {2024, 3, 5, 9, 0, 0}, records);
    makeSalesTable(run, {2024, 3, 7, 9, 30, 0}, {{"茶", "100元", "1", "2024年3月7日10时0分0秒"}});
    PerformanceWindow w;
    setRange(w, QDate(2024, 3, 5), QDate(2024, 3, 6));
    query(w);
    EXPECT_EQ(listRows(w), records);
    EXPECT_EQ(w.statusPart(1), QString("2"));
    EXPECT_EQ(chartValues(w), (std::vector<double>{2, 46, 7}));
    const QString legend = child<QLabel>(w, "标签_图例")->text();
    EXPECT_TRUE(legend.contains("销量：2 笔")) << legend.toStdString();
    EXPECT_TRUE(legend.contains("销售收入：46 元")) << legend.toStdString();
    EXPECT_TRUE(legend.contains("销售总数量：7 件")) << legend.toStdString();

    // Widening the range replaces the result; the same query again gives the same.
    setRange(w, QDate(2024, 3, 1), QDate(2024, 3, 31));
    query(w);
    EXPECT_EQ(w.statusPart(1), QString("3"));
    EXPECT_EQ(chartValues(w), (std::vector<double>{3, 146, 8}));
    const auto rows = listRows(w);
    query(w);
    EXPECT_EQ(listRows(w), rows);
    EXPECT_EQ(chartValues(w), (std::vector<double>{3, 146, 8}));
    EXPECT_TRUE(platform.messages().isEmpty());
}

// Refunds are rows with negative quantities: the totals net them out, and a
// day that took back more than it sold says so without a slice below zero.
TEST_F(PerformanceWindowTest, RefundsNetOutAndLessThanNothingIsSaidNotDrawn) {
    makeSalesTable(run, {2024, 3, 5, 9, 0, 0},
                   {{"苹果", "12元", "3", "2024年3月5日9时1分2秒"},
                    {"苹果", "12元", "-1", "2024年3月5日9时5分0秒"}});
    makeSalesTable(run, {2024, 3, 6, 9, 0, 0}, {{"梨", "2.5", "-4", "2024年3月6日9时3分0秒"}});
    const struct {
        QDate last;
        std::vector<double> drawn;
        const char* revenue;
        const char* quantity;
    } cases[] = {
        {QDate(2024, 3, 5), {2, 24, 2}, "销售收入：24 元", "销售总数量：2 件"},
        {QDate(2024, 3, 6), {3, 14, 0}, "销售收入：14 元", "销售总数量：-2 件"},
    };
    PerformanceWindow w;
    for (const auto& c : cases) {
        setRange(w, QDate(2024, 3, 5), c.last);
        query(w);
        EXPECT_EQ(chartValues(w), c.drawn);
        const QString legend = child<QLabel>(w, "标签_图例")->text();
        EXPECT_TRUE(legend.contains(c.revenue)) << legend.toStdString();
        EXPECT_TRUE(legend.contains(c.quantity)) << legend.toStdString();
    }
    setRange(w, QDate(2024, 3, 6), QDate(2024, 3, 6));
    query(w);
    EXPECT_EQ(chartValues(w), (std::vector<double>{1, 0, 0}));
    EXPECT_TRUE(child<QLabel>(w, "标签_图例")->text().contains("销售收入：-10 元"));
}

TEST_F(PerformanceWindowTest, AQueryWithoutRowsShowsAnEmptyChart) {
    makeSalesTable(run, {2024, 3, 5, 9, 0, 0}, {{"苹果", "12元", "3", "t"}});
    PerformanceWindow w;
    EXPECT_FALSE(w.chartSeries()->isVisible());  // nothing queried yet
    setRange(w, QDate(2024, 3, 5), QDate(2024, 3, 5));
    query(w);
    ASSERT_EQ(w.statusPart(1), QString("1"));
    EXPECT_TRUE(w.chartSeries()->isVisible());
    setRange(w, QDate(2024, 3, 6), QDate(2024, 3, 5));
    query(w);
    EXPECT_TRUE(listRows(w).empty());
    EXPECT_EQ(w.statusPart(1), QString("0"));  // files were listed, so the count shows
    EXPECT_EQ(chartValues(w), (std::vector<double>{0, 0, 0}));
    EXPECT_FALSE(w.chartSeries()->isVisible());
    EXPECT_TRUE(child<QLabel>(w, "标签_图例")->text().contains("销量：0 笔"));
}

TEST_F(PerformanceWindowTest, EmptySalesFolderKeepsThePreviousCount) {
    const std::string path =
        makeSalesTable(run, {2024, 3, 5, 9, 0, 0}, {{"苹果", "12元", "3", "t"}});
    PerformanceWindow w;
    setRange(w, QDate(2024, 3, 5), QDate(2024, 3, 5));
    query(w);
    ASSERT_EQ(w.statusPart(1), QString("1"));
    storage::closeAll();
    std::filesystem::remove(path);
    query(w);
    EXPECT_TRUE(listRows(w).empty());
    EXPECT_EQ(w.statusPart(1), QString("1"));
    EXPECT_EQ(chartValues(w), (std::vector<double>{0, 0, 0}));
}

TEST_F(PerformanceWindowTest, CloseButtonClosesTheLastTableReadThenTheWindow) {
    makeSalesTable(run, {2024, 3, 5, 9, 0, 0}, {{"苹果", "12元", "3", "t"}});
    makeSalesTable(run, {2024, 3, 6, 9, 0, 0}, {{"梨", "2元", "1", "t"}});
    PerformanceWindow w;
    w.show();
    setRange(w, QDate(2024, 3, 5), QDate(2024, 3, 6));
    query(w);
    const std::string current = storage::currentPath();
    EXPECT_NE(current.find("销售数据2024年3月"), std::string::npos);
    const int open = storage::openCount();
    QTest::mouseClick(child<QPushButton>(w, "图形按钮1_关闭1"), Qt::LeftButton);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(storage::openCount(), open - 1);
    EXPECT_FALSE(storage::select(current));
}

TEST_F(PerformanceWindowTest, CloseButtonLeavesTheRunsOwnSalesTableOpen) {
    // The main window's table of this run, current since start-up.
    const std::string own = makeSalesTable(run, {2024, 3, 5, 15, 0, 0}, {});
    ASSERT_TRUE(storage::open(own));
    {
        PerformanceWindow w;
        w.show();
        QTest::mouseClick(child<QPushButton>(w, "图形按钮1_关闭1"), Qt::LeftButton);
        EXPECT_FALSE(w.isVisible());
    }
    {
        // Also when a query read it last.
        PerformanceWindow w;
        w.show();
        setRange(w, QDate(2024, 3, 5), QDate(2024, 3, 5));
        query(w);
        EXPECT_EQ(storage::currentPath(), own);
        QTest::mouseClick(child<QPushButton>(w, "图形按钮1_关闭1"), Qt::LeftButton);
    }
    ASSERT_TRUE(storage::select(own));
    ASSERT_TRUE(storage::appendBlank());
    EXPECT_TRUE(storage::writeText(1, "面包"));
}

TEST_F(PerformanceWindowTest, InertButtonAndChartPressChangeNothing) {
    makeSalesTable(run, {2024, 3, 5, 9, 0, 0}, {{"苹果", "12元", "3", "t"}});
    PerformanceWindow w;
    w.show();
    setRange(w, QDate(2024, 3, 5), QDate(2024, 3, 5));
    query(w);
    const auto rows = listRows(w);
    const auto values = chartValues(w);
    const std::string current = storage::currentPath();
    const int open = storage::openCount();

    QTest::mouseClick(child<QPushButton>(w, "图形按钮1_关闭2"), Qt::LeftButton);
    auto* view = child<QChartView>(w, "业绩百分比图");
    QTest::mousePress(view->viewport(), Qt::LeftButton, {}, view->viewport()->rect().center());
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, view->viewport()->rect().center());

    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(listRows(w), rows);
    EXPECT_EQ(chartValues(w), values);
    EXPECT_EQ(w.statusPart(1), QString("1"));
    EXPECT_EQ(storage::currentPath(), current);
    EXPECT_EQ(storage::openCount(), open);
    for (QPieSlice* slice : w.chartSeries()->slices()) EXPECT_FALSE(slice->isExploded());
}

// How a band moves its window is the title bar's own; this window's band is 图片框3.
TEST_F(PerformanceWindowTest, TitleBandDragsTheWindow) {
    PerformanceWindow w;
    QTest::mousePress(child<QWidget>(w, "图片框3"), Qt::LeftButton, {}, QPoint(200, 10));
    EXPECT_EQ(app::dragState("performance/图片框3").flag, 1);
    app::dragState("performance/图片框3").reset();
}

}  // namespace
}  // namespace shop::test
