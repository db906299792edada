// Writes that meet a full disk: each multi-record write either fails whole,
// leaving the table as it was, or succeeds whole, and says which; each window
// that writes shows its failure text; nothing crashes and no table is damaged.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <filesystem>
#include <iostream>

#include "app/scripted_platform.h"
#include "checkout/sale_journal.h"
#include "file_size_limit.h"
#include "leave/leave_window.h"
#include "leave/staff_fixture.h"
#include "products/product_window.h"
#include "receipts/receipt_settings_window.h"
#include "receipts/receipt_window.h"
#include "salary/salary_window.h"
#include "settings/settings_file.h"
#include "storage/schemas.h"
#include "storage/table.h"
#include "support/background_work.h"
#include "support/main_window_driver.h"
#include "support/run_folder.h"
#include "table_state.h"
#include "writes.h"

namespace fs = std::filesystem;
using namespace shop::storage;
using namespace shop::test;

namespace {

struct Sweep {
    int failed = 0, succeeded = 0, damaged = 0;
};

// Runs the write once per limit, each time from the same starting file.
Sweep sweepLimits(const std::string& table, const std::function<bool()>& write) {
    Sweep sweep;
    closeAll();
    QTemporaryDir keep;
    const std::string pristine = keep.filePath("pristine.edb").toStdString();
    fs::copy_file(table, pristine);
    const TableState before = tableState(table);
    const bool unlimited = write();
    closeAll();
    EXPECT_TRUE(unlimited) << "the write fails even without a limit";
    const TableState after = tableState(table);
    const auto startSize = fs::file_size(pristine), endSize = fs::file_size(table);

    // Nothing free at all, no room to grow, and room for part of the growth.
    std::vector<std::uintmax_t> limits = {0, 512, startSize / 2, startSize};
    for (int part = 1; part <= 12; ++part)
        limits.push_back(startSize + (endSize - startSize) * part / 12 + 4096);
    const std::string folder = fs::path(table).parent_path().string();
    for (const auto limit : limits) {
        fs::copy_file(pristine, table, fs::copy_options::overwrite_existing);
        bool ok = false;
        {
            FileSizeLimit full(limit);
            EXPECT_TRUE(full.active());
            ok = write();
            closeAll();  // with the limit still in force: rolling back must not need room
        }
        ok ? ++sweep.succeeded : ++sweep.failed;
        const TableState found = tableState(table);
        const std::string problem = soundnessProblem(table);
        if (!problem.empty() || !strayFiles(folder).empty() || found != (ok ? after : before)) {
            ++sweep.damaged;
            ADD_FAILURE() << "limit " << limit << ": reported " << (ok ? "success" : "failure")
                          << ", " << problem << ", found " << found.records.size() << " records";
        }
        closeAll();
    }
    std::cout << "[ full disk ] " << fs::path(table).filename().string() << ": " << limits.size()
              << " limits, " << sweep.failed << " failed whole, " << sweep.succeeded
              << " succeeded whole, " << sweep.damaged << " damaged\n";
    EXPECT_GT(sweep.failed, 0);
    return sweep;
}

std::uintmax_t sizeOf(const std::string& path) { return fs::file_size(path); }

}  // namespace

TEST(FullDisk, EachMultiRecordWriteFailsWholeOrSucceedsWhole) {
    RunFolder run;
    const std::string sales = run.paths().salesTable({2024, 3, 5, 9, 0, 1});
    ASSERT_TRUE(create(sales, schemas::sales()));
    writeAll(sales, {{"早先的", "1", "1", "2024年3月5日9时0分2秒"}});
    const auto rows = sampleSalesRows(1000);
    EXPECT_EQ(sweepLimits(sales, [&] { return recordSales(sales, rows); }).damaged, 0);

    writeAll(run.paths().product(), sampleProducts(5000, "旧"));
    const auto products = sampleProducts(5000, "新");
    EXPECT_EQ(sweepLimits(run.paths().product(),
                          [&] { return rewriteProducts(run.paths().product(), products); })
                  .damaged,
              0);

    ASSERT_TRUE(saveEmployee(run.paths().employee(), sampleEmployee("张三", 200 * 1024)));
    closeAll();
    const auto employee = sampleEmployee("李四", 400 * 1024);
    EXPECT_EQ(sweepLimits(run.paths().employee(),
                          [&] { return saveEmployee(run.paths().employee(), employee); })
                  .damaged,
              0);
}

TEST(FullDisk, LeavingShowsErrorKeepsEveryRowAndASecondCloseAfterFreeingSpaceRecords) {
    MainWindowDriver d;
    d.run.setProducts({{"苹果", "2.5元", "9"}});
    d.run.setProductSave({"苹果"});
    d.start();
    ASSERT_FALSE(d.window->failedToStart());
    // Enough rows that the table must grow to take them.
    for (int i = 0; i < 400; ++i) {
        d.chooseGoods(0);
        d.chooseQuantity("3");
        d.click("图形按钮_添加");
    }
    ASSERT_EQ(d.list()->topLevelItemCount(), 400);
    const auto shown = d.rows();
    const std::string sales = d.window->runSalesPath();
    {
        FileSizeLimit full(sizeOf(sales));
        d.click("图形按钮1_关闭");
    }
    EXPECT_EQ(d.platform.messages(), QStringList{"错误"});
    EXPECT_FALSE(d.platform.exited());
    EXPECT_EQ(d.rows(), shown);
    EXPECT_EQ(d.total(), "3000元");
    EXPECT_EQ(soundnessProblem(sales), "");
    EXPECT_TRUE(readAll(sales).empty());  // no part of the sale
    // Space is freed: the second close stores every row and ends.
    d.click("图形按钮1_关闭");
    EXPECT_TRUE(d.platform.exited());
    EXPECT_EQ(d.platform.exitCode(), 0);
    EXPECT_EQ(readAll(sales), shown);
}

TEST(FullDisk, LeavingFromAReadOnlySalesFolderKeepsTheRowsUntilItIsWritable) {
    if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
    MainWindowDriver d;
    d.run.setProducts({{"苹果", "2元", "9"}});
    d.run.setProductSave({"苹果"});
    const std::string folder = d.run.paths().salesFolder();
    fs::permissions(folder, fs::perms::owner_write, fs::perm_options::remove);
    d.start();
    ASSERT_FALSE(d.platform.exited());
    EXPECT_EQ(d.platform.messages().size(), 1);  // the table could not be created
    d.chooseGoods(0);
    d.chooseQuantity("2");
    d.click("图形按钮_添加");
    const auto shown = d.rows();
    d.click("图形按钮1_关闭");
    EXPECT_FALSE(d.platform.exited());
    EXPECT_EQ(d.platform.messages().last(), "错误");
    EXPECT_EQ(d.rows(), shown);
    fs::permissions(folder, fs::perms::owner_write, fs::perm_options::add);
    d.click("图形按钮1_关闭");
    EXPECT_TRUE(d.platform.exited());
    EXPECT_EQ(readAll(d.window->runSalesPath()), shown);
}

TEST(FullDisk, GoodsListSaveShowsSaveFailedAndKeepsWhatWasStored) {
    MainWindowDriver d;
    d.run.setProductSave({"苹果", "牛奶"});
    d.start();
    ASSERT_FALSE(d.window->failedToStart());
    const std::string save = d.run.paths().productSave();
    {
        FileSizeLimit full(0);
        d.click("图形按钮_保存");
    }
    EXPECT_EQ(d.platform.messages(), QStringList{"保存失败"});
    const auto stored = readAll(save);
    ASSERT_GE(stored.size(), 2u);
    EXPECT_EQ(stored[0], std::vector<std::string>{"苹果"});
    EXPECT_EQ(stored[1], std::vector<std::string>{"牛奶"});
    closeAll();
    EXPECT_EQ(soundnessProblem(save), "");
}

// A change the journal has no room for fails and leaves the journal saying
// the list before it, whatever part of its entry got written; once there is
// room again the next change makes the journal whole with the list on screen.
TEST(FullDisk, AJournalChangeWithoutRoomKeepsTheListBeforeItAndTheNextOneCatchesUp) {
    RunFolder run;
    const std::string table = "销售数据2024年3月5日14时7分9秒.edb";
    const std::string path = shop::checkout::journalPath(run.dir(), table);
    const std::vector<shop::checkout::SaleRow> before = {{"苹果", "2元", "1", "d"}};
    auto after = before;
    after.push_back({"牛奶", "12元", "2", "d"});
    auto later = after;
    later.push_back({"面包", "3元", "1", "d"});
    int failed = 0;
    for (std::uintmax_t extra = 0; extra < 60; extra += 7) {
        shop::checkout::SaleJournal journal(path, table, 0);
        ASSERT_TRUE(journal.update(before));
        bool added = false;
        {
            FileSizeLimit full(fs::file_size(path) + extra);
            ASSERT_TRUE(full.active());
            added = journal.update(after);
        }
        if (!added) ++failed;
        EXPECT_EQ(shop::checkout::readJournal(path)->rows, added ? after : before) << extra;
        EXPECT_FALSE(shop::checkout::loadJournal(path).damaged) << extra;
        ASSERT_TRUE(journal.update(later)) << extra;
        EXPECT_EQ(shop::checkout::readJournal(path)->rows, later) << extra;
        ASSERT_TRUE(journal.remove());
    }
    EXPECT_GT(failed, 0);
}

TEST(FullDisk, AddingAProductShowsTheFailureEndsAndKeepsTheCatalogue) {
    RunFolder run;
    shop::app::ScriptedPlatform platform;
    const auto old = sampleProducts(3000, "旧");
    run.setProducts(old);
    QComboBox goods;
    shop::products::ProductWindow window({nullptr, &goods, nullptr, nullptr});
    window.findChild<QLineEdit*>("编辑框_名称")->setText("新品");
    window.findChild<QLineEdit*>("编辑框_产品价格")->setText("9");
    window.findChild<QLineEdit*>("编辑框_数量")->setText("5");
    {
        // Not even room for the rollback journal.
        FileSizeLimit full(0);
        window.findChild<QPushButton*>("图形按钮_添加产品")->click();
    }
    EXPECT_EQ(platform.messages(), QStringList{"产品添加失败"});
    EXPECT_TRUE(platform.exited());
    EXPECT_EQ(platform.exitCode(), 0);
    closeAll();
    EXPECT_EQ(soundnessProblem(run.paths().product()), "");
    EXPECT_EQ(readAll(run.paths().product()), old);
}

TEST(FullDisk, StoringAPaymentShowsSalaryInfoFailedAndStoresNothing) {
    RunFolder run;
    shop::app::ScriptedPlatform platform;
    addStaff(run.paths().employee(), {{"001", "张三", ""}});
    const std::string table = *run.paths().salaryTable("张三");
    ASSERT_TRUE(create(table, schemas::salary()));
    writeAll(table, {{"2024年1月31日", "3000"}});
    auto* window = new shop::salary::SalaryWindow;
    window->show();
    auto* tree = window->findChild<QTreeWidget*>("树型框1");
    tree->setCurrentItem(tree->topLevelItem(0)->child(0));
    window->findChild<QDateEdit*>("日期框1_发工资时间")->setDate(QDate(2024, 2, 29));
    window->findChild<QLineEdit*>("编辑框_工资金额")->setText("3100");
    {
        FileSizeLimit full(0);
        window->findChild<QPushButton*>("图形按钮1")->click();
    }
    EXPECT_EQ(platform.messages(), QStringList{"工资信息失败"});
    EXPECT_EQ(openCount(), 0);
    EXPECT_EQ(soundnessProblem(table), "");
    EXPECT_EQ(readAll(table), (std::vector<std::vector<std::string>>{{"2024年1月31日", "3000"}}));
    delete window;
}

TEST(FullDisk, AReceiptHeaderThatCannotBeStoredLeavesTheSettingsFileAsItWas) {
    RunFolder run;
    shop::app::ScriptedPlatform platform;
    const std::string settings = run.paths().settingsFile();
    shop::settings::writeHeader(settings, {"澄屿超市", "01", "小王", "人民路"});
    const auto before = shop::settings::readHeader(settings);
    ASSERT_EQ(before.shopName, "澄屿超市");
    QTreeWidget list;
    QComboBox goods;
    QLabel total, change;
    {
        shop::receipts::ReceiptWindow receipt({&list, &goods, &total, &change});
        shop::receipts::ReceiptSettingsWindow dialog(receipt);
        for (auto* edit : dialog.findChildren<QLineEdit*>())
            edit->setText(QString(3000, QChar(0x5E97)));
        dialog.findChild<QPushButton*>("图形按钮1")->click();
        FileSizeLimit full(1024);
        receipt.findChild<QPushButton*>("图形按钮1_关闭5")->click();
    }
    EXPECT_EQ(shop::settings::readHeader(settings), before);
    // Only the settings file itself in its folder: no temporary copy left.
    EXPECT_EQ(std::distance(fs::directory_iterator(fs::path(settings).parent_path()),
                            fs::directory_iterator()),
              1);
    EXPECT_EQ(platform.messages(), QStringList{"账单信息保存失败"});
}

TEST(FullDisk, ALeaveRequestOnAFullDiskKeepsTheHistoryAndLeavesNoHalfTable) {
    RunFolder run;
    shop::app::ScriptedPlatform platform;
    addStaff(run.paths().employee(), {{"001", "张三", ""}, {"002", "李四", ""}});
    const std::string zhang = *run.paths().leaveTable("张三"), li = *run.paths().leaveTable("李四");
    ASSERT_TRUE(create(zhang, schemas::leave()));
    writeAll(zhang, {{"2024年3月5日", "2024年3月9日", "拒绝"}});
    const auto history = readAll(zhang);
    {
        shop::test::BackgroundWork work;
        shop::leave::LeaveWindow window(nullptr, work.executor());
        for (int row : {0, 1}) {
            window.findChild<QListWidget*>("列表框_员工姓名")->setCurrentRow(row);
            window.findChild<QRadioButton*>("单选框_拒绝")->setChecked(true);
            FileSizeLimit full(0);
            window.findChild<QPushButton*>("图形按钮_")->click();
            ASSERT_TRUE(work.waitAll());
        }
        EXPECT_EQ(readAll(zhang), history);
        // With room again the same request is stored: the full disk was what stopped it.
        window.findChild<QListWidget*>("列表框_员工姓名")->setCurrentRow(0);
        window.findChild<QPushButton*>("图形按钮_")->click();
        ASSERT_TRUE(work.waitAll());
    }
    closeAll();
    EXPECT_EQ(readAll(zhang).size(), history.size() + 1);
    EXPECT_EQ(readAll(zhang)[0], history[0]);
    EXPECT_EQ(soundnessProblem(zhang), "");
    // The first request of 李四 found no room for a table: none, or a sound empty one.
    if (fs::exists(li)) {
        EXPECT_EQ(soundnessProblem(li), "");
        EXPECT_TRUE(readAll(li).empty());
    }
    EXPECT_TRUE(strayFiles(run.paths().leaveFolder()).empty());
}
