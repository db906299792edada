// Table files copied in from anywhere, met by the windows: a crafted file is
// refused with the window's reaction to a table that does not open, runs
// nothing, and is left byte for byte as it was.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QComboBox>
#include <QListWidget>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/scripted_platform.h"
#include "checkout/main_window.h"
#include "employees/directory_window.h"
#include "products/product_window.h"
#include "storage/table.h"
#include "support/run_folder.h"

namespace fs = std::filesystem;
using namespace shop::storage;
using namespace shop::test;

namespace {

std::string bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Changes the file behind the facility's back, as another program could.
void rawExec(const std::string& path, const char* sql) {
    sqlite3* db = nullptr;
    const bool ok =
        sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK &&
        sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    EXPECT_TRUE(ok) << (db ? sqlite3_errmsg(db) : "no database") << " in " << sql;
    sqlite3_close(db);
}

// Crafted versions of a sound table: each would make a trusting reader run
// something or read something other than our records. The trigger and the
// view would write a file beside the table if they ever ran.
const char* const kCraftings[] = {
    "CREATE TRIGGER spy AFTER INSERT ON records BEGIN SELECT writefile('spy.txt', 'x'); END",
    "CREATE VIEW extra AS SELECT writefile('spy.txt', 'x')",
    "CREATE TABLE extra(x); INSERT INTO extra VALUES(1)",
    "PRAGMA application_id = 1",
    "PRAGMA journal_mode = WAL",
};

template <typename Open>
void expectEachCraftingRefused(const std::string& table, Open openWindow) {
    const std::string sound = bytesOf(table);
    const fs::path folder = fs::path(table).parent_path();
    for (const char* crafting : kCraftings) {
        SCOPED_TRACE(crafting);
        { std::ofstream(table, std::ios::binary | std::ios::trunc) << sound; }
        rawExec(table, crafting);
        const std::string crafted = bytesOf(table);
        openWindow();
        closeAll();
        EXPECT_EQ(bytesOf(table), crafted) << "the refused file was changed";
        EXPECT_FALSE(fs::exists(folder / "spy.txt"));
        EXPECT_FALSE(fs::exists(table + "-wal"));
    }
    std::ofstream(table, std::ios::binary | std::ios::trunc) << sound;
}

}  // namespace

TEST(HostileFiles, ACraftedProductSaveTableEndsTheStartWithAFailureCode) {
    RunFolder run;
    run.setProductSave({"苹果"});
    expectEachCraftingRefused(run.paths().productSave(), [] {
        shop::app::ScriptedPlatform platform;
        shop::checkout::MainWindow window({});
        EXPECT_TRUE(platform.exited());
        EXPECT_NE(platform.exitCode(), 0);
        EXPECT_TRUE(platform.messages().isEmpty());
    });
    // The same file unharmed starts the program.
    shop::app::ScriptedPlatform platform;
    shop::checkout::MainWindow window({});
    EXPECT_FALSE(platform.exited());
}

TEST(HostileFiles, ACraftedCatalogueLeavesTheProductWindowEmptyAndSaysItCannotBeRead) {
    RunFolder run;
    shop::app::ScriptedPlatform platform;
    run.setProducts({{"苹果", "2元", "5"}});
    QComboBox goods;
    expectEachCraftingRefused(run.paths().product(), [&] {
        platform.clear();
        shop::products::ProductWindow window({nullptr, &goods, nullptr, nullptr});
        EXPECT_EQ(window.findChild<QListWidget*>("选择列表框_设置商品名称")->count(), 0);
        EXPECT_EQ(platform.messages(), QStringList{"产品数据库读取失败，请你检查数据库"});
    });
    platform.clear();
    EXPECT_FALSE(platform.exited());
    shop::products::ProductWindow window({nullptr, &goods, nullptr, nullptr});
    EXPECT_EQ(window.findChild<QListWidget*>("选择列表框_设置商品名称")->count(), 1);
}

TEST(HostileFiles, ACraftedEmployeeTableIsReportedAsNotOpening) {
    RunFolder run;
    shop::app::ScriptedPlatform platform;
    expectEachCraftingRefused(run.paths().employee(), [&] {
        platform.clear();
        shop::employees::DirectoryWindow window;
        EXPECT_TRUE(window.failedToOpen());
        EXPECT_EQ(platform.messages(), QStringList{"数据库打开失败"});
    });
    shop::employees::DirectoryWindow window;
    EXPECT_FALSE(window.failedToOpen());
}
