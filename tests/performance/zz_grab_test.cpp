#include <gtest/gtest.h>

#include <QApplication>
#include <QDateEdit>
#include <QPushButton>
#include <QTabWidget>

#include "app/scripted_platform.h"
#include "performance/performance_window.h"
#include "sales_fixture.h"
namespace shop::test {
TEST(Grab, Window) {
    app::ScriptedPlatform platform;
    RunFolder run;
    makeSalesTable(run, {2024, 3, 5, 9, 0, 0},
                   {{"可乐", "3.2元", "3", "2024年3月5日9时1分2秒"},
                    {"面包", "4.5元", "2", "2024年3月5日9时3分0秒"},
                    {"牛奶", "19.99元", "3", "2024年3月5日10时0分0秒"}});
    makeSalesTable(run, {2024, 3, 7, 9, 0, 0},
                   {{"可乐", "3.2元", "5", "2024年3月7日9时1分2秒"},
                    {"苹果", "12元", "2", "2024年3月7日9时3分0秒"}});
    const std::string bad = makeSalesTable(run, {2024, 3, 8, 9, 0, 0}, {});
    std::filesystem::resize_file(bad, 100);
    performance::PerformanceWindow w;
    w.findChild<QDateEdit*>("日期框_起")->setDate(QDate(2024, 3, 4));
    w.findChild<QDateEdit*>("日期框_终")->setDate(QDate(2024, 3, 10));
    w.show();
    w.findChild<QPushButton*>("图形按钮_查询")->click();
    auto* tabs = w.findChild<QTabWidget*>("分页_报表");
    for (int i = 0; i < 3; ++i) {
        tabs->setCurrentIndex(i);
        QApplication::processEvents();
        w.grab().save(QString("/tmp/x/reports%1.png").arg(i));
        if (i == 1) w.grab().save("/work/wt/reports/reports.png");
    }
    platform.queueFile("/tmp/x/rank.png");
    w.saveRankingPng();
    platform.queueFile("/tmp/x/daily.png");
    w.saveDailyPng();
}
}  // namespace shop::test
