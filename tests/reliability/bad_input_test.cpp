// Careless input through the windows: 10,000-character pastes, texts just
// over a field's size, odd names. Each gets a clear reaction, nothing crashes
// and no table keeps a cut copy of what was typed.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <filesystem>

#include "app/scripted_platform.h"
#include "employees/entry_window.h"
#include "hostile_text.h"
#include "leave/staff_fixture.h"
#include "products/product_window.h"
#include "receipts/receipt_settings_window.h"
#include "receipts/receipt_window.h"
#include "salary/salary_window.h"
#include "settings/ini_text.h"
#include "settings/settings_file.h"
#include "storage/table.h"
#include "support/main_window_driver.h"
#include "support/run_folder.h"
#include "support/window_probe.h"

namespace fs = std::filesystem;
using namespace shop::test;
using Rows = std::vector<std::vector<std::string>>;

namespace {

// Nothing under the run folder but its own six folders and table files.
bool onlyDataInside(const std::string& runDir) {
    for (const auto& e : fs::recursive_directory_iterator(runDir)) {
        if (e.is_directory()) continue;
        const auto ext = e.path().extension();
        if (ext != ".edb" && ext != ".ini") return false;
    }
    for (const auto& e : fs::directory_iterator(runDir))
        if (!e.is_directory()) return false;
    return true;
}

}  // namespace

// The counter takes no pasted price: the price is the catalogue's and the
// tendered box takes money only; a pasted goods name names no goods, so
// nothing is sold, and nothing pasted reaches a table.
TEST(BadInput, APasteAtTheCounterSellsNothingAndLeavesTheCataloguePrice) {
    MainWindowDriver d;
    d.run.setProducts({{"苹果", "2元", "5"}});
    d.run.setProductSave({"苹果"});
    d.start();
    d.chooseGoods(0);
    const QStringList pasted = pasteIntoEveryEditBox(*d.window, tenThousandCharacters());
    EXPECT_EQ(d.price()->text(), "2元");
    EXPECT_EQ(d.tendered()->text(), "");
    d.chooseQuantity("1");
    d.click("图形按钮_添加");
    EXPECT_EQ(d.list()->topLevelItemCount(), 0);
    EXPECT_FALSE(d.hint().isEmpty());
    d.click("图形按钮1_关闭");
    EXPECT_TRUE(d.platform.exited());
    EXPECT_TRUE(d.platform.messages().isEmpty());
    EXPECT_TRUE(readAll(d.window->runSalesPath()).empty());
    EXPECT_EQ(cutCopies(d.run.dir(), pasted), QStringList{});
}

TEST(BadInput, AProductTooLongForItsFieldEndsTheProgramWithTheCatalogueIntact) {
    RunFolder run;
    shop::app::ScriptedPlatform platform;
    run.setProducts({{"苹果", "2元", "5"}});
    QComboBox goods;
    shop::products::ProductWindow window({nullptr, &goods, nullptr, nullptr});
    const QStringList pasted = pasteIntoEveryEditBox(window, tenThousandCharacters());
    // The code box is optional and refuses such a code on its own, before
    // the catalogue is written: left empty, the product fields are what fails.
    control<QLineEdit>(window, "编辑框_条码")->clear();
    control<QPushButton>(window, "图形按钮_添加产品")->click();
    EXPECT_EQ(platform.messages(), QStringList{"产品添加失败"});
    EXPECT_TRUE(platform.exited());
    EXPECT_EQ(readAll(run.paths().product()), (Rows{{"苹果", "2元", "5"}}));
    EXPECT_EQ(cutCopies(run.dir(), pasted), QStringList{});
}

TEST(BadInput, OddProductNamesAreStoredExactlyAsTyped) {
    RunFolder run;
    shop::app::ScriptedPlatform platform;
    QComboBox goods;
    shop::products::ProductWindow window({nullptr, &goods, nullptr, nullptr});
    for (const QString& name : oddNames()) {
        control<QLineEdit>(window, "编辑框_名称")->setText(name);
        control<QLineEdit>(window, "编辑框_产品价格")->setText(name);
        control<QLineEdit>(window, "编辑框_数量")->setText(name);
        control<QPushButton>(window, "图形按钮_添加产品")->click();
    }
    EXPECT_TRUE(platform.messages().isEmpty());
    EXPECT_FALSE(platform.exited());
    const Rows stored = readAll(run.paths().product());
    ASSERT_EQ(stored.size(), static_cast<std::size_t>(oddNames().size()));
    for (std::size_t i = 0; i < stored.size(); ++i) {
        const std::string name = oddNames()[static_cast<int>(i)].toStdString();
        EXPECT_EQ(stored[i], (std::vector<std::string>{name, name + "元", name}));
    }
    EXPECT_TRUE(onlyDataInside(run.dir()));
}

TEST(BadInput, AnEmployeeFormOfPastesStoresNothingAndKeepsTheForm) {
    RunFolder run;
    shop::app::ScriptedPlatform platform;
    shop::employees::EntryWindow window;
    ASSERT_FALSE(window.failedToOpen());
    const QStringList pasted = pasteIntoEveryEditBox(window, tenThousandCharacters());
    for (auto* combo : window.findChildren<QComboBox*>())
        if (combo->isEditable()) combo->setEditText(tenThousandCharacters());
    control<QPushButton>(window, "图形按钮_生成账单2")->click();
    // With many writes failing the form says nothing, as the shop has always
    // had it; it keeps every text so the user sees that nothing was taken.
    EXPECT_FALSE(platform.messages().contains("已存入数据库"));
    for (const char* box : {"编辑框_编号", "编辑框_姓名", "编辑框_岗位名称"})
        EXPECT_TRUE(pasted.contains(control<QLineEdit>(window, box)->text()) &&
                    control<QLineEdit>(window, box)->text().size() > 1000)
            << box;
    EXPECT_TRUE(readAll(run.paths().employee()).empty());
    EXPECT_EQ(cutCopies(run.dir(), pasted), QStringList{});
}

TEST(BadInput, OddEmployeeNamesGetNoPaymentTableOutsideTheirFolder) {
    RunFolder run;
    shop::app::ScriptedPlatform platform;
    std::vector<Staff> staff;
    for (const QString& name : oddNames()) staff.push_back({"001", name.toStdString(), ""});
    addStaff(run.paths().employee(), staff);
    auto* window = new shop::salary::SalaryWindow;
    window->show();
    auto* tree = control<QTreeWidget>(*window, "树型框1");
    for (int i = 0; i < oddNames().size(); ++i) {
        tree->setCurrentItem(tree->topLevelItem(0)->child(i));
        control<QDateEdit>(*window, "日期框1_发工资时间")->setDate(QDate(2024, 2, 29));
        control<QLineEdit>(*window, "编辑框_工资金额")->setText("3000");
        control<QPushButton>(*window, "图形按钮1")->click();  // creates the table and stores
    }
    // A pasted amount is refused whole.
    const QStringList pasted = pasteIntoEveryEditBox(*window, tenThousandCharacters());
    control<QPushButton>(*window, "图形按钮1")->click();
    delete window;
    EXPECT_TRUE(onlyDataInside(run.dir()));
    // Names that can name a file got their table and their one payment.
    int tables = 0;
    for (const auto& e : fs::directory_iterator(run.paths().salaryFolder())) {
        const Rows payments = readAll(e.path().string());
        EXPECT_EQ(payments, (Rows{{"2024年2月29日", "3000"}})) << e.path();
        ++tables;
    }
    EXPECT_GE(tables, 5);
    EXPECT_EQ(cutCopies(run.dir(), pasted + oddNames()), QStringList{});
    EXPECT_EQ(shop::storage::openCount(), 0);
}

TEST(BadInput, AReceiptHeaderOfPastesIsStoredWholeAndShownAgain) {
    RunFolder run;
    shop::app::ScriptedPlatform platform;
    QTreeWidget list;
    QComboBox goods;
    QLabel total, change;
    const shop::app::CheckoutArea area{&list, &goods, &total, &change};
    shop::settings::ReceiptHeader shown;
    for (const QString& text : QStringList{tenThousandCharacters()} + oddNames()) {
        {
            shop::receipts::ReceiptWindow receipt(area);
            shop::receipts::ReceiptSettingsWindow settings(receipt);
            pasteIntoEveryEditBox(settings, text);
            control<QPushButton>(settings, "图形按钮1")->click();
            shown = receipt.header();
            EXPECT_FALSE(shown.shopName.empty());
            control<QPushButton>(receipt, "图形按钮1_关闭5")->click();
        }
        // What the next opening reads is what was shown, whole; a settings
        // value is one line, so a line break comes back as a blank.
        using shop::settings::singleLine;
        const shop::settings::ReceiptHeader kept{
            singleLine(shown.shopName), singleLine(shown.machine), singleLine(shown.cashier),
            singleLine(shown.address)};
        EXPECT_EQ(shop::settings::readHeader(run.paths().settingsFile()), kept)
            << text.left(12).toStdString();
        shop::receipts::ReceiptWindow again(area);
        EXPECT_EQ(again.header(), kept);
    }
    EXPECT_TRUE(platform.messages().isEmpty());
}
