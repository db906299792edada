// Exporting the sales: the CSV text itself, and the window's export menu
// writing the CSV and the chart picture through the save dialog.
#include <gtest/gtest.h>

#include <QAbstractScrollArea>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDateEdit>
#include <QFile>
#include <QImage>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeView>

#include "app/scripted_platform.h"
#include "performance/performance_window.h"
#include "performance/sales_csv.h"
#include "window_fixture.h"

namespace shop::test {
namespace {

using performance::salesCsv;
using performance::SalesRow;

const std::string kBom = "\xEF\xBB\xBF";
const std::string kHeader = "销售名称,销售价格,销售销量,销售时间,单价,数量,金额\r\n";

TEST(SalesCsv, BomHeaderRowsAndTotalsLine) {
    const std::vector<SalesRow> rows = {{"苹果", "12元", "3", "2024年3月5日9时1分2秒"},
                                        {"梨", "2.5", "4", "2024年3月5日9时3分0秒"}};
    EXPECT_EQ(salesCsv(rows, {2, 46, 7}), kBom + kHeader +
                                              "苹果,12元,3,2024年3月5日9时1分2秒,12,3,36\r\n"
                                              "梨,2.5,4,2024年3月5日9时3分0秒,2.5,4,10\r\n"
                                              "合计 2 笔,46,7,,,7,46\r\n");
    // Without rows the file still has its header and a totals line of zeros.
    EXPECT_EQ(salesCsv({}, {}), kBom + kHeader + "合计 0 笔,0,0,,,0,0\r\n");
}

TEST(SalesCsv, TotalsReadAsTheChartShowsThem) {
    const std::string csv = salesCsv({}, {3, 0.1 + 36.0, 1e6});
    EXPECT_NE(csv.find("合计 3 笔,36.1,1000000,,,0,0\r\n"), std::string::npos) << csv;
}

TEST(SalesCsv, StoredFormulasAndSeparatorsStayText) {
    const std::vector<SalesRow> rows = {{"=HYPERLINK(\"http://x\")", "-5", "+1", "@SUM(A1)"},
                                        {"牛奶,大瓶", "6元", "1", "\t2024"}};
    const std::string csv = salesCsv(rows, {2, 1, 2});
    // The computed columns are the program's own numbers, never quoted.
    EXPECT_NE(csv.find("\"'=HYPERLINK(\"\"http://x\"\")\",'-5,'+1,'@SUM(A1),-5,1,-5\r\n"),
              std::string::npos)
        << csv;
    EXPECT_NE(csv.find("\"牛奶,大瓶\",6元,1,'\t2024,6,1,6\r\n"), std::string::npos) << csv;
}

class SalesExport : public PerformanceWindowFixture {
protected:
    void SetUp() override {
        makeSalesTable(run, {2024, 3, 5, 9, 0, 0},
                       {{"苹果", "12元", "3", "2024年3月5日9时1分2秒"},
                        {"=1+2", "2.5", "4", "2024年3月5日9时3分0秒"}});
        query(QDate(2024, 3, 5), QDate(2024, 3, 5));
    }
};

TEST_F(SalesExport, CsvHoldsTheListAndTheChartTotals) {
    platform.queueFile(file("三月"));  // the suffix is added
    window.exportCsv();
    EXPECT_TRUE(platform.messages().isEmpty()) << platform.messages().join('|').toStdString();
    EXPECT_TRUE(platform.fileFilters().last().contains("*.csv"));
    EXPECT_EQ(bytes(file("三月.csv")), kBom + kHeader +
                                           "苹果,12元,3,2024年3月5日9时1分2秒,12,3,36\r\n"
                                           "'=1+2,2.5,4,2024年3月5日9时3分0秒,2.5,4,10\r\n"
                                           "合计 2 笔,46,7,,,7,46\r\n");
}

TEST_F(SalesExport, ChartPictureShowsChartAndLegend) {
    platform.queueFile(file("chart.png"));
    window.saveChartPng();
    EXPECT_TRUE(platform.messages().isEmpty());
    const QImage picture(file("chart.png"));
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.size() / picture.devicePixelRatio(), QSize(284, 392));
    // Not a blank grab: the pie's purple revenue slice is in it.
    bool purple = false;
    for (int y = 0; y < picture.height() && !purple; ++y)
        for (int x = 0; x < picture.width() && !purple; ++x)
            purple = picture.pixelColor(x, y) == QColor(144, 0, 255);
    EXPECT_TRUE(purple);
}

TEST_F(SalesExport, CancelWritesNothingAndFailuresAreSaid) {
    window.exportCsv();
    window.saveChartPng();
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
    EXPECT_TRUE(platform.messages().isEmpty());

    platform.queueFile(file("missing/a.csv"));
    platform.queueFile(file("missing/a.png"));
    window.exportCsv();
    window.saveChartPng();
    ASSERT_EQ(platform.messages().size(), 2);
    EXPECT_TRUE(platform.messages()[0].startsWith(QStringLiteral("导出失败")));
    EXPECT_TRUE(platform.messages()[1].startsWith(QStringLiteral("图表保存失败")));
}

TEST_F(SalesExport, MenuIsOnTheButtonTheListAndTheChart) {
    auto* button = window.findChild<QToolButton*>(QStringLiteral("按钮_导出"));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->menu(), window.exportMenu());
    QStringList texts;
    for (const QAction* a : window.exportMenu()->actions())
        if (!a->isSeparator()) texts << a->text();
    EXPECT_EQ(texts,
              (QStringList{"导出为 CSV…", "保存图表为 PNG…", "导出销售排行为 CSV…",
                           "保存销售排行为 PNG…", "导出每日销售为 CSV…", "保存每日销售为 PNG…"}));

    window.show();
    for (const char* name : {"超级列表框_业绩", "业绩百分比图", "列表_销售排行", "图表_每日销售"}) {
        auto* area = window.findChild<QAbstractScrollArea*>(QString::fromUtf8(name));
        ASSERT_NE(area, nullptr) << name;
        QWidget* target = area->viewport();  // where a right click lands
        QContextMenuEvent press(QContextMenuEvent::Mouse, QPoint(30, 30),
                                target->mapToGlobal(QPoint(30, 30)));
        QApplication::sendEvent(target, &press);
        EXPECT_TRUE(window.exportMenu()->isVisible()) << name;
        window.exportMenu()->hide();
    }
}

}  // namespace
}  // namespace shop::test
