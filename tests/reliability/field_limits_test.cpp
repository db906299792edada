// Texts at and just over their field's width, counted in GBK bytes: at the
// width they are stored whole; one byte over, the write is refused with the
// window's reaction and nothing is stored cut.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include "app/scripted_platform.h"
#include "employees/employee_form.h"
#include "employees/entry_window.h"
#include "hostile_text.h"
#include "storage/schemas.h"
#include "storage/text.h"
#include "support/main_window_driver.h"
#include "support/run_folder.h"

using namespace shop::test;
namespace f = shop::storage::schemas::employee_field;

namespace {

constexpr int kWidth = 255;  // every text field the windows write here

int gbkBytes(const QString& text) {
    return static_cast<int>(*shop::storage::gbkLength(text.toStdString()));
}

void setItem(QWidget& window, const char* name, const QString& text) {
    if (auto* edit = window.findChild<QLineEdit*>(QString::fromUtf8(name))) {
        edit->setText(text);
    } else if (auto* combo = window.findChild<QComboBox*>(QString::fromUtf8(name))) {
        combo->setEditText(text);
    } else {
        ADD_FAILURE() << "no item " << name;
    }
}

// What an item's text must be for its field to hold `bytes` bytes: the age
// is stored with "岁" after it.
QString itemText(int position, int bytes) {
    return gbkText(position == f::kAge ? bytes - 2 : bytes);
}

}  // namespace

TEST(FieldLimits, TextsAreMeasuredAsGbkCountsThem) {
    for (int n : {3, 4, 5, 6, 7, 255, 256, 512}) EXPECT_EQ(gbkBytes(gbkText(n)), n) << n;
    // Private-use characters that GBK codes in two bytes, though the system's
    // converter refuses them: a name made of them still fits its field.
    const QString privateUse = QString(QChar(0xE818)) + QChar(0xE78D) + QChar(0xE864);
    EXPECT_EQ(gbkBytes(privateUse), 6);
    EXPECT_EQ(gbkBytes(privateUse + "a"), 7);
    RunFolder run;
    const std::string name = (QString(127, QChar(0xE818)) + "a").toStdString();
    writeAll(run.paths().productSave(), {{name}});
    EXPECT_EQ(readAll(run.paths().productSave()), (std::vector<std::vector<std::string>>{{name}}));
}

TEST(FieldLimits, ASalePriceAtTheWidthIsRecordedAndOneByteMoreIsAnError) {
    for (const int bytes : {kWidth, kWidth + 1}) {
        MainWindowDriver d;
        d.run.setProducts({{"苹果", "2元", "5"}});
        d.run.setProductSave({"苹果"});
        d.start();
        // A price the catalogue could hold: a number first, then the rest.
        const QString price = QStringLiteral("2") + gbkText(bytes - 1);
        d.chooseGoods(0);
        d.price()->setText(price);
        d.chooseQuantity("1");
        d.click("图形按钮_添加");
        d.click("图形按钮1_关闭");
        const auto stored = readAll(d.window->runSalesPath());
        if (bytes == kWidth) {
            EXPECT_TRUE(d.platform.messages().isEmpty());
            ASSERT_EQ(stored.size(), 1u);
            EXPECT_EQ(QString::fromStdString(stored[0][1]), price);
        } else {
            // Not stored, not cut: the row stays in the list and the
            // program stays open.
            EXPECT_EQ(d.platform.messages(), QStringList{"错误"});
            EXPECT_TRUE(stored.empty());
            EXPECT_FALSE(d.platform.exited());
            EXPECT_EQ(d.list()->topLevelItemCount(), 1);
        }
    }
}

TEST(FieldLimits, EveryEmployeeItemTakesItsFullWidthAndRefusesOneByteMore) {
    RunFolder run;
    shop::app::ScriptedPlatform platform;
    shop::employees::EntryWindow window;
    ASSERT_FALSE(window.failedToOpen());
    const auto& items = shop::employees::formItems();

    for (const auto& item : items) setItem(window, item.control, itemText(item.position, kWidth));
    window.findChild<QPushButton*>("图形按钮_生成账单2")->click();
    auto stored = readAll(run.paths().employee());
    ASSERT_EQ(stored.size(), 1u) << platform.messages().join("|").toStdString();
    for (const auto& item : items) {
        const QString expected =
            itemText(item.position, kWidth) + (item.position == f::kAge ? "岁" : "");
        EXPECT_EQ(QString::fromStdString(stored[0][item.position - 1]), expected) << item.control;
    }

    // One item at a time one byte over: refused, nothing added, and said so.
    for (const auto& item : items) {
        SCOPED_TRACE(item.control);
        for (const auto& other : items) setItem(window, other.control, QStringLiteral("值"));
        setItem(window, item.control, itemText(item.position, kWidth + 1));
        platform.clear();
        window.findChild<QPushButton*>("图形按钮_生成账单2")->click();
        EXPECT_EQ(readAll(run.paths().employee()).size(), 1u);
        const QStringList shown = platform.messages();
        ASSERT_EQ(shown.size(), 1);
        EXPECT_TRUE(shown[0].contains("保存失败")) << shown[0].toStdString();
    }
}
