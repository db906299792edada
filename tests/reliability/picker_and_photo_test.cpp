// Dates at the limits of the date pickers, and photo files that are no photos:
// each gets a clear reaction and nothing crashes.
#include <gtest/gtest.h>

#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeView>
#include <QTreeWidget>
#include <filesystem>
#include <fstream>

#include "app/scripted_platform.h"
#include "employees/entry_window.h"
#include "performance/performance_window.h"
#include "salary/salary_window.h"
#include "storage/date_text.h"
#include "storage/schemas.h"
#include "storage/table.h"
#include "support/run_folder.h"
#include "support/window_probe.h"

namespace fs = std::filesystem;
using namespace shop::storage;
using namespace shop::test;

namespace {

int listedRows(const QWidget& w) {
    return control<QTreeView>(w, "超级列表框_业绩")->model()->rowCount();
}

}  // namespace

TEST(PickerLimits, TheWidestQueryTheDatePickersAllowFindsEveryTableOfItsDays) {
    RunFolder run;
    shop::app::ScriptedPlatform platform;
    const std::string sale = run.paths().salesTable({2024, 3, 5, 14, 7, 9});
    ASSERT_TRUE(create(sale, schemas::sales()));
    writeAll(sale, {{"苹果", "2元", "3", "2024年3月5日14时7分9秒"}});
    shop::performance::PerformanceWindow window;
    auto* first = control<QDateEdit>(window, "日期框_起");
    auto* last = control<QDateEdit>(window, "日期框_终");

    first->setDate(first->minimumDate());
    last->setDate(last->maximumDate());
    control<QPushButton>(window, "图形按钮_查询")->click();
    EXPECT_EQ(listedRows(window), 1);

    // The last day before the first: nothing, and the cashier is told why.
    first->setDate(first->maximumDate());
    last->setDate(last->minimumDate());
    control<QPushButton>(window, "图形按钮_查询")->click();
    EXPECT_EQ(listedRows(window), 0);

    // Both limits as one-day ranges.
    for (const QDate day : {first->minimumDate(), first->maximumDate()}) {
        first->setDate(day);
        last->setDate(day);
        control<QPushButton>(window, "图形按钮_查询")->click();
        EXPECT_EQ(listedRows(window), 0);
    }
    EXPECT_EQ(platform.messages(), QStringList{QStringLiteral("终止日期早于起始日期")});
    closeAll();
}

TEST(PickerLimits, PaymentsDatedAtThePickerLimitsAreStoredAsTheirDateText) {
    RunFolder run;
    shop::app::ScriptedPlatform platform;
    ASSERT_TRUE(open(run.paths().employee()));
    ASSERT_TRUE(appendBlank() && writeText(2, "001") && writeText(3, "张三"));
    closeAll();
    const std::string table = *run.paths().salaryTable("张三");
    ASSERT_TRUE(create(table, schemas::salary()));
    auto* window = new shop::salary::SalaryWindow;
    auto* tree = control<QTreeWidget>(*window, "树型框1");
    tree->setCurrentItem(tree->topLevelItem(0)->child(0));
    auto* picker = control<QDateEdit>(*window, "日期框1_发工资时间");
    std::vector<std::vector<std::string>> expected;
    for (const QDate day : {picker->minimumDate(), picker->maximumDate()}) {
        picker->setDate(day);
        control<QLineEdit>(*window, "编辑框_工资金额")->setText("1");
        control<QPushButton>(*window, "图形按钮1")->click();
        const std::string text = dateText({day.year(), day.month(), day.day()});
        expected.push_back({text, "1"});
        const auto back = parseDateText(text);
        ASSERT_TRUE(back) << text;
        EXPECT_EQ(QDate(back->year, back->month, back->day), day);
    }
    delete window;
    EXPECT_TRUE(platform.messages().isEmpty());
    EXPECT_EQ(readAll(table), expected);
}

TEST(BadPhoto, HugeMissingFolderAndEndlessPhotoFilesLeaveThePhotoAsItWas) {
    RunFolder run;
    shop::app::ScriptedPlatform platform;
    QTemporaryDir files;
    const QString huge = files.filePath("huge.bmp");
    {
        std::ofstream out(huge.toStdString(), std::ios::binary);
        out.seekp(50 * 1024 * 1024 - 1);
        out.put('\0');
    }
    const QString folder = files.filePath("folder.bmp");
    QDir().mkpath(folder);
    shop::employees::EntryWindow window;
    ASSERT_FALSE(window.failedToOpen());
    const QByteArray before = window.photo();
    for (const QString& path :
         {huge, folder, files.filePath("missing.bmp"), QStringLiteral("/dev/zero")}) {
        platform.clear();
        platform.queueFile(path);
        control<QPushButton>(window, "图形按钮_生成账单1")->click();
        EXPECT_EQ(window.photo(), before) << path.toStdString();
        // Too large is said so; what cannot be read leaves things as they were.
        if (path == huge || path == "/dev/zero") {
            ASSERT_EQ(platform.messages().size(), 1) << path.toStdString();
            EXPECT_TRUE(platform.messages()[0].contains("451541"));
        } else {
            EXPECT_TRUE(platform.messages().isEmpty()) << path.toStdString();
        }
    }
    EXPECT_TRUE(QFileInfo(folder).isDir());
}
