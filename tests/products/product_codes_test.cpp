// The product window's codes: the 条码 field stores a code with its goods in
// the same add or change, the list shows each goods' codes, in-store codes
// come from the counter in the settings, and labels print to a PDF.
#include <QListWidget>
#include <QMenu>
#include <QTemporaryDir>
#include <QtTest/QTest>
#include <optional>

#include "barcodes/barcode_table.h"
#include "product_fixture.h"
#include "settings/settings_file.h"
#include "support/command_output.h"
#include "support/exclusive_hold.h"

namespace shop::products {
namespace {

using namespace test_support;

class ProductCodesTest : public ProductTest {
protected:
    void SetUp() override {
        run.setProducts({{"可乐", "3元", "10"}, {"面包", "4.5元", "5"}});
        ASSERT_TRUE(barcodes::addCodes(run.paths().barcodes(), {{"6901234567892", "可乐"}}).ok());
    }
    Rows codeTable() const { return shop::test::readAll(run.paths().barcodes()); }
    static void choose(const ProductWindow& w, int row) {
        QListWidget* names = list(w, "选择列表框_设置商品名称");
        names->setCurrentRow(row);
        names->item(row)->setSelected(true);
    }
};

TEST_F(ProductCodesTest, AnAddStoresItsCodeAndTheListShowsIt) {
    ProductWindow w(checkout());
    EXPECT_EQ(entries(w, "选择列表框_设置商品条码"), (QStringList{"6901234567892", ""}));
    const struct {
        const char* name;
        const char* code;
        const char* message;  // empty: taken
    } adds[] = {
        {"牛奶", "6901234567899", "条码校验错误，请检查条码"},
        {"牛奶", "6901234567892", "条码 6901234567892 已属于商品“可乐”"},
        {"牛奶", "96385074", ""},
        {"散装苹果", "2000001", ""},  // a scale key
        {"鸡蛋", "", ""},
    };
    int products = 2;
    for (const auto& a : adds) {
        platform.clear();
        fill(w, QString::fromUtf8(a.name), QStringLiteral("6"), QStringLiteral("3"));
        box(w, "编辑框_条码")->setText(QString::fromUtf8(a.code));
        click(w, "图形按钮_添加产品");
        const bool taken = *a.message == '\0';
        EXPECT_EQ(platform.messages(),
                  taken ? QStringList() : QStringList{QString::fromUtf8(a.message)})
            << a.name << " " << a.code;
        if (taken) ++products;
        EXPECT_EQ(static_cast<int>(productTable().size()), products) << a.code;
        EXPECT_EQ(box(w, "编辑框_条码")->text(), taken ? "" : a.code) << "refused: kept to mend";
    }
    EXPECT_EQ(codeTable(),
              (Rows{{"6901234567892", "可乐"}, {"96385074", "牛奶"}, {"2000001", "散装苹果"}}));
    EXPECT_EQ(entries(w, "选择列表框_设置商品条码"),
              (QStringList{"6901234567892", "", "96385074", "2000001", ""}));
}

TEST_F(ProductCodesTest, AChangeAddsACodeAndARenameKeepsTheGoodsCodes) {
    ProductWindow w(checkout());
    choose(w, 0);
    box(w, "编辑框_名称")->setText(QStringLiteral("可口可乐"));
    box(w, "编辑框_条码")->setText(QStringLiteral("036000291452"));
    click(w, "图形按钮_生成账单2");
    EXPECT_TRUE(platform.messages().isEmpty()) << platform.messages().join(',').toStdString();
    EXPECT_EQ(codeTable(), (Rows{{"6901234567892", "可口可乐"}, {"036000291452", "可口可乐"}}));
    EXPECT_EQ(entries(w, "选择列表框_设置商品条码").value(0), "6901234567892 036000291452");
    EXPECT_EQ(productTable().at(0).at(0), "可口可乐");
}

// Emptying the catalogue takes every code with it, in the same confirmed
// step: no code is left naming goods that are gone. A barcode table that
// cannot be emptied is said, and keeps its codes whole.
TEST_F(ProductCodesTest, EmptyingTheCatalogueTakesItsCodes) {
    const Rows codes{{"6901234567892", "可乐"}};
    const QString kept = QStringLiteral("商品条码表未能清空，其中的条码已无对应产品：") +
                         QString::fromStdString(run.paths().barcodes());
    const struct {
        const char* what;
        bool answer;
        bool codesHeld;  // another connection holds the barcode table
        QStringList messages;
        Rows codesAfter;
    } cases[] = {
        {"yes", true, false, {"产品数据库清空成功"}, {}},
        {"no", false, false, {}, codes},
        {"yes, the codes held", true, true, {"产品数据库清空成功", kept}, codes},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        run.setProducts({{"可乐", "3元", "10"}, {"面包", "4.5元", "5"}});
        ASSERT_TRUE(barcodes::removeAllCodes(run.paths().barcodes()).ok());
        ASSERT_TRUE(barcodes::addCodes(run.paths().barcodes(), {{"6901234567892", "可乐"}}).ok());
        platform.clear();
        ProductWindow w(checkout());
        std::optional<test::ExclusiveHold> hold;
        if (c.codesHeld) {
            ASSERT_TRUE(hold.emplace(run.paths().barcodes()).held());
        }
        platform.queueAnswer(c.answer);
        click(w, "图形按钮_生成账单1");
        hold.reset();
        EXPECT_EQ(platform.questions().value(0),
                  "清空产品提示信息|确定清空全部 2 "
                  "个产品吗？产品数据库、收银台的商品列表和商品条码都将清空，无法恢复。");
        EXPECT_EQ(platform.messages(), c.messages);
        EXPECT_EQ(codeTable(), c.codesAfter);
        EXPECT_EQ(entries(w, "选择列表框_设置商品条码").size(), c.answer ? 0 : 2);
    }
}

TEST_F(ProductCodesTest, AScannedCodeComesFilledIn) {
    ProductWindow w(checkout(), nullptr, "4006381333931");
    EXPECT_EQ(box(w, "编辑框_条码")->text(), "4006381333931");
}

TEST_F(ProductCodesTest, InStoreCodesComeFromTheCounterAndLabelsPrintToPdf) {
    ProductWindow w(checkout());
    click(w, "图形按钮_店内码");
    EXPECT_EQ(platform.messages(), QStringList{"请先选择要生成店内码的商品"});
    platform.clear();
    settings::writeSetting(run.paths().settingsFile(), "条码", "店内码计数", "41");
    choose(w, 1);
    click(w, "图形按钮_店内码");
    EXPECT_EQ(platform.messages(), QStringList{"商品“面包”的店内码：2000000000428"});
    EXPECT_EQ(settings::readSetting(run.paths().settingsFile(), "条码", "店内码计数"), "42");
    EXPECT_EQ(codeTable().back(), (std::vector<std::string>{"2000000000428", "面包"}));

    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("标签.pdf"));
    list(w, "选择列表框_设置商品名称")->item(0)->setCheckState(Qt::Checked);
    list(w, "选择列表框_设置商品名称")->item(1)->setCheckState(Qt::Checked);
    platform.clear();
    platform.queueFile(pdf);
    w.labelMenu()->actions().at(1)->trigger();
    EXPECT_TRUE(platform.messages().isEmpty()) << platform.messages().join(',').toStdString();
    const std::string out =
        shop::test::commandOutput("pdftotext " + shop::test::shellQuoted(pdf) + " - 2>/dev/null");
    for (const char* expected : {"可乐", "3元", "面包", "4.5元"})
        EXPECT_NE(out.find(expected), std::string::npos) << expected << " in " << out;
}

}  // namespace
}  // namespace shop::products
