// Data that is not where it should be: a data folder that is missing, a table
// file that is a folder. Every window that meets one reacts as it does to a
// table that does not open, nothing crashes, and nothing is created or
// removed in its place.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <algorithm>
#include <filesystem>
#include <fstream>

#include "app/scripted_platform.h"
#include "employees/directory_window.h"
#include "employees/entry_window.h"
#include "products/product_window.h"
#include "storage/date_text.h"
#include "storage/schemas.h"
#include "storage/table.h"
#include "support/main_window_driver.h"
#include "support/run_folder.h"
#include "table_state.h"

namespace fs = std::filesystem;
using namespace shop::storage;
using namespace shop::test;

namespace {

// Puts a folder (with a file inside) where the table file was.
void replaceByFolder(const std::string& table) {
    fs::remove(table);
    fs::create_directory(table);
    std::ofstream(table + "/keep.txt") << "mine";
}

bool folderUntouched(const std::string& table) {
    std::ifstream in(table + "/keep.txt");
    std::string text;
    in >> text;
    return fs::is_directory(table) && text == "mine" &&
           std::distance(fs::directory_iterator(table), fs::directory_iterator()) == 1;
}

}  // namespace

TEST(MissingData, ATableThatIsAFolderNeitherOpensNorIsReplaced) {
    RunFolder run;
    const std::pair<std::string, std::vector<FieldDesc>> tables[] = {
        {run.paths().product(), schemas::product()},
        {run.paths().productSave(), schemas::productSave()},
        {run.paths().employee(), schemas::employee()},
        {*run.paths().leaveTable("张三"), schemas::leave()},
    };
    for (const auto& [path, fields] : tables) {
        replaceByFolder(path);
        EXPECT_FALSE(open(path)) << path;
        EXPECT_FALSE(open(path, true)) << path;
        EXPECT_FALSE(create(path, fields)) << path;
        EXPECT_NE(checkIntegrity(path), "") << path;
        EXPECT_EQ(toolCheck(path), 1) << path;  // a bad file, not a failure to run the tool
        EXPECT_TRUE(folderUntouched(path)) << path;
    }
    EXPECT_EQ(openCount(), 0);
}

TEST(MissingData, StartingWithoutTheProductSaveTableEndsWithAFailureCodeAndNoMessageBox) {
    for (const bool folderMissing : {false, true}) {
        MainWindowDriver d;
        if (folderMissing) {
            fs::remove_all(joinPath(d.run.dir(), kProductFolder));
        } else {
            replaceByFolder(d.run.paths().productSave());
        }
        d.start();
        EXPECT_TRUE(d.platform.exited());
        EXPECT_NE(d.platform.exitCode(), 0);
        EXPECT_TRUE(d.platform.messages().isEmpty());
        if (folderMissing) {
            EXPECT_FALSE(
                fs::exists(joinPath(d.run.dir(), kProductFolder)));  // never created by the program
        } else {
            EXPECT_TRUE(folderUntouched(d.run.paths().productSave()));
        }
    }
}

TEST(MissingData, ASalesTableNameTakenByAFolderIsSaidAndLosesNothing) {
    MainWindowDriver d;
    d.run.setProducts({{"苹果", "2元", "5"}});
    d.run.setProductSave({"苹果"});
    // Folders under the names of the next half minute's sales tables, so the
    // start lands on one however slow the machine.
    std::vector<std::string> taken;
    const Moment start = now();
    const long long day = dayNumber(start);
    for (int s = 0; s < 30; ++s) {
        long long secs = start.hour * 3600 + start.minute * 60 + start.second + s;
        Moment m = fromDayNumber(day + secs / 86400);
        secs %= 86400;
        m.hour = static_cast<int>(secs / 3600);
        m.minute = static_cast<int>(secs / 60 % 60);
        m.second = static_cast<int>(secs % 60);
        taken.push_back(d.run.paths().salesTable(m));
        replaceByFolder(taken.back());
    }
    d.start();
    EXPECT_NE(std::find(taken.begin(), taken.end(), d.window->runSalesPath()), taken.end());
    ASSERT_FALSE(d.platform.exited());
    d.chooseGoods(0);
    d.chooseQuantity("2");
    d.click("图形按钮_添加");
    d.click("图形按钮1_关闭");
    // Said at start and at the close, which cannot store the sale: the
    // program stays with the row.
    EXPECT_FALSE(d.platform.exited());
    ASSERT_EQ(d.platform.messages().size(), 2);
    EXPECT_EQ(d.platform.messages()[1], "错误");
    EXPECT_EQ(d.list()->topLevelItemCount(), 1);
    for (const auto& folder : taken) EXPECT_TRUE(folderUntouched(folder)) << folder;
    EXPECT_EQ(readAll(d.run.paths().product()),
              (std::vector<std::vector<std::string>>{{"苹果", "2元", "5"}}));
}

TEST(MissingData, TheProductWindowWithoutItsTableSaysSoAndAcceptsNothing) {
    RunFolder run;
    shop::app::ScriptedPlatform platform;
    replaceByFolder(run.paths().product());
    QComboBox goods;
    shop::products::ProductWindow window({nullptr, &goods, nullptr, nullptr});
    EXPECT_EQ(window.findChild<QListWidget*>("选择列表框_设置商品名称")->count(), 0);
    window.findChild<QLineEdit*>("编辑框_名称")->setText("新品");
    window.findChild<QLineEdit*>("编辑框_产品价格")->setText("9");
    window.findChild<QLineEdit*>("编辑框_数量")->setText("5");
    window.findChild<QPushButton*>("图形按钮_添加产品")->click();
    EXPECT_EQ(window.findChild<QListWidget*>("选择列表框_设置商品名称")->count(), 0);
    EXPECT_FALSE(platform.exited());
    window.findChild<QPushButton*>("图形按钮_生成账单1")->click();
    // At the opening, at the add and at the emptying.
    EXPECT_EQ(platform.messages(), QStringList(3, "产品数据库读取失败，请你检查数据库"));
    EXPECT_TRUE(folderUntouched(run.paths().product()));
}

TEST(MissingData, TheEmployeeWindowsReportTheTableThatDoesNotOpen) {
    for (const bool folderMissing : {false, true}) {
        RunFolder run;
        shop::app::ScriptedPlatform platform;
        if (folderMissing) {
            fs::remove_all(joinPath(run.dir(), kEmployeeFolder));
        } else {
            replaceByFolder(run.paths().employee());
        }
        {
            shop::employees::DirectoryWindow directory;
            EXPECT_TRUE(directory.failedToOpen());
        }
        {
            shop::employees::EntryWindow entry;
            EXPECT_TRUE(entry.failedToOpen());
        }
        EXPECT_EQ(platform.messages(), (QStringList{"数据库打开失败", "数据库打开失败"}));
        EXPECT_EQ(fs::exists(joinPath(run.dir(), kEmployeeFolder)), !folderMissing);
        if (!folderMissing) {
            EXPECT_TRUE(folderUntouched(run.paths().employee()));
        }
        EXPECT_EQ(openCount(), 0);
    }
}
