// The performance window's reports driven through its controls: a damaged
// table named instead of "暂无数据", 销售排行 and 每日销售 after a query, the
// reversed range said, and the reports' exports.
#include <gtest/gtest.h>

#include <QChart>
#include <QChartView>
#include <QDateEdit>
#include <QFile>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTreeView>
#include <filesystem>

#include "app/scripted_platform.h"
#include "performance/performance_window.h"
#include "window_fixture.h"

namespace shop::test {
namespace {

using performance::PerformanceWindow;

class ReportsWindow : public PerformanceWindowFixture {
protected:
    QString title(const char* chart) const {
        return window.findChild<QChartView*>(QString::fromUtf8(chart))->chart()->title();
    }
    QLabel* warning() const { return window.findChild<QLabel*>(QStringLiteral("标签_不完整")); }
    std::vector<std::vector<std::string>> ranking() const {
        const QAbstractItemModel* m =
            window.findChild<QTreeView*>(QStringLiteral("列表_销售排行"))->model();
        std::vector<std::vector<std::string>> rows;
        for (int r = 0; r < m->rowCount(); ++r) {
            rows.emplace_back();
            for (int c = 0; c < m->columnCount(); ++c)
                rows.back().push_back(m->index(r, c).data().toString().toStdString());
        }
        return rows;
    }
};

TEST_F(ReportsWindow, ADamagedTableIsNamedNeverShownAsNoSales) {
    Records many;
    for (int i = 0; i < 300; ++i) many.push_back({"货", "1元", "1", "2024年3月5日10时0分0秒"});
    const std::string bad = makeSalesTable(run, {2024, 3, 5, 10, 0, 0}, many);
    std::filesystem::resize_file(bad, 8192);

    // The day's only table.
    query(QDate(2024, 3, 5), QDate(2024, 3, 5));
    EXPECT_EQ(title("业绩百分比图"), QStringLiteral("销售业绩（不完整）"));
    EXPECT_EQ(title("图表_每日销售"), QStringLiteral("每日销售（不完整）"));
    ASSERT_FALSE(warning()->isHidden());
    EXPECT_TRUE(warning()->text().contains(QString::fromStdString(fileNameOf(bad))))
        << warning()->text().toStdString();
    EXPECT_TRUE(warning()->text().contains(QStringLiteral("合计不完整")));

    // Beside a sound table: what could be read is shown, still marked partial.
    makeSalesTable(run, {2024, 3, 6, 9, 0, 0}, {{"茶", "7元", "2", "2024年3月6日9时0分0秒"}});
    query(QDate(2024, 3, 5), QDate(2024, 3, 6));
    EXPECT_EQ(window.statusPart(1), QStringLiteral("1"));
    EXPECT_EQ(ranking().size(), 1u);
    EXPECT_EQ(title("业绩百分比图"), QStringLiteral("销售业绩（不完整）"));
    EXPECT_FALSE(warning()->isHidden());

    // A range the damage does not reach is whole again.
    query(QDate(2024, 3, 6), QDate(2024, 3, 6));
    EXPECT_EQ(title("业绩百分比图"), QStringLiteral("销售业绩"));
    EXPECT_TRUE(warning()->isHidden());
    EXPECT_TRUE(platform.messages().isEmpty());
}

TEST_F(ReportsWindow, RankingAndDailyChartFollowTheQuery) {
    makeSalesTable(run, {2024, 3, 5, 9, 0, 0},
                   {{"可乐", "0.1元", "1", "2024年3月5日9时0分0秒"},
                    {"面包", "1.2元", "3", "2024年3月5日9时1分0秒"},
                    {"可乐", "0.2元", "1", "2024年3月5日9时2分0秒"}});
    makeSalesTable(run, {2024, 3, 7, 9, 0, 0}, {{"牛奶", "19.99元", "3", "2024年3月7日9时0分0秒"}});
    query(QDate(2024, 3, 5), QDate(2024, 3, 7));
    using Rows = std::vector<std::vector<std::string>>;
    EXPECT_EQ(ranking(), (Rows{{"1", "牛奶", "3", "37.5%", "59.97", "93.9%"},
                               {"2", "面包", "3", "37.5%", "3.6", "5.6%"},
                               {"3", "可乐", "2", "25.0%", "0.3", "0.5%"}}));
    // The revenue caption ranks by revenue.
    auto* view = window.findChild<QTreeView*>(QStringLiteral("列表_销售排行"));
    view->sortByColumn(4, Qt::DescendingOrder);
    EXPECT_EQ(ranking()[1][1], "面包");
    makeSalesTable(run, {2024, 3, 6, 9, 0, 0}, {{"糖", "1元", "4", "2024年3月6日9时0分0秒"}});
    query(QDate(2024, 3, 5), QDate(2024, 3, 7));
    EXPECT_EQ(ranking()[1][1], "糖");  // 4 元 before 面包's 3.6, as chosen
    EXPECT_EQ(ranking()[0][1], "牛奶");

    auto* series = qobject_cast<QLineSeries*>(
        window.findChild<QChartView*>(QStringLiteral("图表_每日销售"))->chart()->series().first());
    ASSERT_NE(series, nullptr);
    ASSERT_EQ(series->count(), 3);
    EXPECT_EQ(series->at(0).y(), 3.9);
    EXPECT_EQ(series->at(1).y(), 4);
    EXPECT_EQ(series->at(2).y(), 59.97);
    EXPECT_EQ(title("图表_每日销售"), QStringLiteral("每日销售"));
}

TEST_F(ReportsWindow, ReportsExportAsCsvAndPngFromTheDocumentsFolder) {
    makeSalesTable(run, {2024, 3, 5, 9, 0, 0}, {{"茶", "7元", "2", "2024年3月5日9时0分0秒"}});
    query(QDate(2024, 3, 5), QDate(2024, 3, 5));
    for (const char* name : {"排行", "排行.png", "每日.csv", "每日.png", "明细.csv", "饼.png"})
        platform.queueFile(file(name));
    window.exportRankingCsv();
    window.saveRankingPng();
    window.exportDailyCsv();
    window.saveDailyPng();
    window.exportCsv();
    window.saveChartPng();
    EXPECT_TRUE(platform.messages().isEmpty()) << platform.messages().join('|').toStdString();

    const std::string bom = "\xEF\xBB\xBF";
    EXPECT_EQ(bytes(file("排行.csv")),
              bom +
                  "排名,商品名称,销售数量,数量占比,销售金额,金额占比,销售笔数\r\n"
                  "1,茶,2,100.0%,14,100.0%,1\r\n合计,,2,,14,,1\r\n");
    EXPECT_EQ(bytes(file("每日.csv")),
              bom + "日期,销售金额,销售数量,销售笔数\r\n2024年3月5日,14,2,1\r\n合计,14,2,1\r\n");
    for (const char* png : {"排行.png", "每日.png"}) {
        const QImage picture(file(png));
        ASSERT_FALSE(picture.isNull()) << png;
        // Not blank: something darker than the white ground is drawn.
        bool drawn = false;
        for (int y = 0; y < picture.height() && !drawn; y += 2)
            for (int x = 0; x < picture.width() && !drawn; x += 2)
                drawn = qGray(picture.pixel(x, y)) < 128;
        EXPECT_TRUE(drawn) << png;
    }
    // Every dialog started in the user's documents folder, offering a name.
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!QDir(documents).exists()) documents = QDir::homePath();
    const QStringList offered = platform.suggestedNames();
    ASSERT_EQ(offered.size(), 6);
    for (const QString& path : offered)
        EXPECT_EQ(QFileInfo(path).absolutePath(), QDir(documents).absolutePath())
            << path.toStdString();
    EXPECT_EQ(QFileInfo(offered[0]).fileName(), QStringLiteral("销售排行.csv"));
}

}  // namespace
}  // namespace shop::test
