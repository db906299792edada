// The receipt window and its settings window, driven through their controls
// against a checkout area made of standalone widgets.
#include "receipts/receipt_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest/QTest>
#include <filesystem>
#include <fstream>

#include "app/drag_state.h"
#include "app/scripted_platform.h"
#include "checkout_stub.h"
#include "receipts/receipt_settings_window.h"
#include "settings/settings_file.h"
#include "storage/date_text.h"
#include "support/run_folder.h"

namespace shop::receipts {
using namespace shop::settings;
namespace {

namespace fs = std::filesystem;

QString text(const QWidget& w, const char* name) {
    const auto* label = w.findChild<QLabel*>(QString::fromUtf8(name));
    EXPECT_NE(label, nullptr) << name;
    return label ? label->text() : QString();
}

void click(const QWidget& w, const char* name) {
    auto* button = w.findChild<QPushButton*>(QString::fromUtf8(name));
    ASSERT_NE(button, nullptr) << name;
    button->click();
}

void type(const QWidget& w, const char* name, const QString& value) {
    auto* box = w.findChild<QLineEdit*>(QString::fromUtf8(name));
    ASSERT_NE(box, nullptr) << name;
    box->setText(value);
}

class Receipt : public ::testing::Test {
protected:
    test::RunFolder run;
    app::ScriptedPlatform platform;
    Checkout checkout;
    std::string settings = run.paths().settingsFile();
};

TEST_F(Receipt, ShowsItsDesignedCaptions) {
    ReceiptWindow w(checkout.area());
    EXPECT_EQ(w.size(), QSize(276, 491));
    EXPECT_EQ(text(w, "透明标签3"), "澄屿_生成账单");
    EXPECT_EQ(text(w, "透明标签1"), "收银员；                   机号；\n时间；");
    EXPECT_EQ(text(w, "透明标签_账单标题内容"), "品名           数量        金额        小计");
    EXPECT_EQ(text(w, "透明标签2"), "超市名称；\n消费地址；\n消费金额；\n找零钱；");
    EXPECT_EQ(w.findChild<QLabel*>("透明_店铺名字")->size(), QSize(160, 40));
    for (const char* empty : {"透明_品名", "透明_数量", "透明_金额", "透明_小计", "透明_时间",
                              "透明_超市名字", "透明_消费金额", "透明_找零"})
        EXPECT_EQ(text(w, empty), "") << empty;
}

TEST_F(Receipt, OpensOverTheTillResetsItsDragAndLoadsTheHeader) {
    writeHeader(settings, {"老王超市", "07", "张三", "人民路8号"});
    app::dragState(QStringLiteral("receipt/图片框_移动")).flag = 1;
    QWidget mainWindow;
    mainWindow.setGeometry(20, 20, 600, 500);
    QPoint seenAt;
    ReceiptHeader seen;
    bool dragReset = false;
    QTimer::singleShot(0, [&] {
        auto* w = dynamic_cast<ReceiptWindow*>(QApplication::activeModalWidget());
        ASSERT_NE(w, nullptr);
        seenAt = w->pos();
        seen = w->header();
        dragReset = app::dragState(QStringLiteral("receipt/图片框_移动")).flag == 0;
        click(*w, "图形按钮1_关闭5");
    });
    mainWindow.setEnabled(false);
    openReceiptWindow(&mainWindow, checkout.area());
    EXPECT_EQ(seenAt, QPoint(20 + (600 - 276) / 2, 20 + (500 - 491) / 2));  // centred
    EXPECT_TRUE(dragReset);
    EXPECT_EQ(seen, (ReceiptHeader{"老王超市", "07", "张三", "人民路8号"}));
    EXPECT_TRUE(mainWindow.isEnabled());
}

TEST_F(Receipt, MissingValuesBlankTheDesignedText) {
    ASSERT_TRUE(writeSetting(settings, kTillSection, kCashierKey, "张三"));
    ReceiptWindow w(checkout.area());
    EXPECT_EQ(text(w, "透明_店铺名字"), "");
    EXPECT_EQ(text(w, "透明_收银员"), "张三");
    EXPECT_EQ(text(w, "透明_机码"), "");
    EXPECT_EQ(text(w, "透明_消费地址"), "");
}

TEST_F(Receipt, GenerateWithAnEmptyListOnlyComplains) {
    checkout.total.setText(QStringLiteral("9元"));
    ReceiptWindow w(checkout.area());
    click(w, "图形按钮_生成账单");
    EXPECT_EQ(platform.messages(), QStringList{"没有选择商品因此无法生账单"});
    EXPECT_EQ(text(w, "透明_消费金额"), "");
    EXPECT_EQ(text(w, "透明_时间"), "");
    EXPECT_EQ(w.findChild<QLineEdit*>("编辑框1")->text(), "");
}

TEST_F(Receipt, EachGenerateShowsTheCheckoutListOnce) {
    checkout.add(QStringLiteral("可乐"), QStringLiteral("3元"), QStringLiteral("2"));
    checkout.add(QStringLiteral("面包"), QStringLiteral("4.5元"), QStringLiteral("1"));
    checkout.total.setText(QStringLiteral("10.5元"));
    checkout.change.setText(QStringLiteral("9.5元"));
    ReceiptWindow w(checkout.area());

    click(w, "图形按钮_生成账单");
    EXPECT_EQ(text(w, "透明_品名"), "可乐\r\n\r\n面包\r\n\r\n");
    EXPECT_EQ(text(w, "透明_消费金额"), "10.5元");
    EXPECT_EQ(text(w, "透明_找零"), "9.5元");

    // Pressed again after the list and the amounts changed: the list as it
    // stands now, once, with the amounts as they stand now.
    checkout.add(QStringLiteral("牛奶"), QStringLiteral("6元"), QStringLiteral("3"));
    checkout.total.setText(QStringLiteral("28.5元"));
    checkout.change.setText(QStringLiteral("1.5元"));
    click(w, "图形按钮_生成账单");
    EXPECT_EQ(text(w, "透明_品名"), "可乐\r\n\r\n面包\r\n\r\n牛奶\r\n\r\n");
    EXPECT_EQ(text(w, "透明_金额"), "3元\r\n\r\n4.5元\r\n\r\n6元\r\n\r\n");
    EXPECT_EQ(text(w, "透明_数量"), "2\r\n\r\n1\r\n\r\n3\r\n\r\n");
    EXPECT_EQ(w.findChild<QLineEdit*>("编辑框1")->text(), text(w, "透明_品名"));
    EXPECT_EQ(text(w, "透明_小计"), "6元\r\n\r\n4.5元\r\n\r\n18元\r\n\r\n");
    EXPECT_EQ(text(w, "透明_消费金额"), "28.5元");
    EXPECT_EQ(text(w, "透明_找零"), "1.5元");
    EXPECT_TRUE(platform.messages().isEmpty());

    const auto stamp = storage::parseDateText(text(w, "透明_时间").toStdString());
    ASSERT_TRUE(stamp.has_value()) << text(w, "透明_时间").toStdString();
    const long long today = storage::dayNumber(storage::now());
    EXPECT_LE(std::abs(storage::dayNumber(*stamp) - today), 1);
}

TEST_F(Receipt, LongReceiptsAreNotCutShort) {
    for (int i = 0; i < 1000; ++i)
        checkout.add(QStringLiteral("商品%1").arg(i), QStringLiteral("%1元").arg(i),
                     QStringLiteral("1"));
    ReceiptWindow w(checkout.area());
    click(w, "图形按钮_生成账单");
    click(w, "图形按钮_生成账单");
    const QString names = text(w, "透明_品名");
    EXPECT_EQ(names.count(QStringLiteral("\r\n\r\n")), 1000);
    EXPECT_TRUE(names.endsWith(QStringLiteral("商品999\r\n\r\n")));
}

TEST_F(Receipt, CloseStoresTheHeaderAsShownEvenWhenEmpty) {
    writeHeader(settings, {"店", "1", "甲", "路"});
    {
        ReceiptWindow w(checkout.area());
        w.headerLabels().shopName->setText(QStringLiteral("新店"));
        w.headerLabels().address->clear();
        w.show();
        click(w, "图形按钮1_关闭5");
        EXPECT_FALSE(w.isVisible());
    }
    EXPECT_EQ(readHeader(settings), (ReceiptHeader{"新店", "1", "甲", ""}));
}

TEST_F(Receipt, AHeaderThatCannotBeStoredIsReportedAndTheWindowCloses) {
    const fs::path folder = fs::path(std::u8string(settings.begin(), settings.end())).parent_path();
    fs::remove_all(folder);
    ReceiptWindow w(checkout.area());
    w.show();
    w.headerLabels().cashier->setText(QStringLiteral("张三"));
    click(w, "图形按钮1_关闭5");
    EXPECT_EQ(platform.messages(), QStringList{"账单信息保存失败"});
    EXPECT_FALSE(w.isVisible());
    EXPECT_FALSE(fs::exists(folder));
}

TEST_F(Receipt, AHeaderTooLargeToStoreLeavesTheFileAsItWas) {
    writeHeader(settings, {"店", "1", "甲", "路"});
    const std::string before = [&] {
        std::ifstream in(fs::path(std::u8string(settings.begin(), settings.end())),
                         std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }();
    ReceiptWindow w(checkout.area());
    w.headerLabels().shopName->setText(QStringLiteral("新店"));
    w.headerLabels().address->setText(
        QString(static_cast<qsizetype>(kSettingsSizeLimit), QLatin1Char('x')));
    click(w, "图形按钮1_关闭5");
    EXPECT_EQ(platform.messages(), QStringList{"账单信息保存失败"});
    std::ifstream in(fs::path(std::u8string(settings.begin(), settings.end())), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), before);
    EXPECT_EQ(readHeader(settings),
              (ReceiptHeader{"店", "1", "甲", "路"}));  // not the shop name alone
}

// How a band moves its window is the title bar's own; this window's band is
// 图片框_移动, and its two other title buttons do nothing.
TEST_F(Receipt, TheBandDragsAndTheInertTitleButtonsDoNothing) {
    ReceiptWindow w(checkout.area());
    w.show();
    QTest::mousePress(w.findChild<QWidget*>("图片框_移动"), Qt::LeftButton, {}, QPoint(100, 10));
    EXPECT_EQ(app::dragState(QStringLiteral("receipt/图片框_移动")).flag, 1);
    app::dragState(QStringLiteral("receipt/图片框_移动")).reset();
    click(w, "图形按钮1_关闭1");
    click(w, "图形按钮1_关闭4");
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(fs::exists(fs::path(std::u8string(settings.begin(), settings.end()))));
}

// --- the settings window ----------------------------------------------------

TEST_F(Receipt, SettingsWindowStartsEmptyWithItsCaptions) {
    ReceiptWindow receipt(checkout.area());
    app::dragState(QStringLiteral("receipt_settings/图片框_移动")).flag = 1;
    ReceiptSettingsWindow s(receipt);
    EXPECT_EQ(app::dragState(QStringLiteral("receipt_settings/图片框_移动")).flag, 0);
    EXPECT_EQ(s.size(), QSize(381, 368));
    EXPECT_EQ(text(s, "透明标签3"), "澄屿_生成账单");
    EXPECT_EQ(text(s, "透明标签1"), "超市名称\n收银员；       \n机号；\n超市地址；");
    int lastTop = -1;
    for (const char* name :
         {"编辑框1_超市名称", "编辑框_收银员", "编辑框_机号", "编辑框_超市地址"}) {
        auto* box = s.findChild<QLineEdit*>(QString::fromUtf8(name));
        ASSERT_NE(box, nullptr) << name;
        EXPECT_EQ(box->text(), "");
        EXPECT_EQ(box->size(), QSize(152, 24));
        const int top = box->mapTo(&s, QPoint(0, 0)).y();
        EXPECT_GT(top, lastTop) << name;  // top to bottom in this order
        lastTop = top;
    }
    auto* hidden = s.findChild<QPushButton*>("图形按钮_生成账单");
    ASSERT_NE(hidden, nullptr);
    EXPECT_GE(hidden->y(), 368);  // below the visible area
}

TEST_F(Receipt, ApplyCopiesEveryBoxEmptyOnesIncluded) {
    writeHeader(settings, {"店", "1", "甲", "路"});
    ReceiptWindow receipt(checkout.area());
    ReceiptSettingsWindow s(receipt);
    type(s, "编辑框_收银员", QStringLiteral("李四"));
    click(s, "图形按钮1");
    EXPECT_EQ(receipt.header(), (ReceiptHeader{"", "", "李四", ""}));
    click(s, "图形按钮_生成账单");  // inert
    EXPECT_EQ(receipt.header(), (ReceiptHeader{"", "", "李四", ""}));
    EXPECT_EQ(readHeader(settings), (ReceiptHeader{"店", "1", "甲", "路"}));  // nothing saved yet
}

TEST_F(Receipt, ClosingSettingsWithoutApplyingChangesNothing) {
    writeHeader(settings, {"店", "1", "甲", "路"});
    ReceiptWindow receipt(checkout.area());
    ReceiptSettingsWindow s(receipt);
    s.show();
    type(s, "编辑框1_超市名称", QStringLiteral("别的店"));
    click(s, "图形按钮1_关闭5");
    EXPECT_FALSE(s.isVisible());
    EXPECT_EQ(receipt.header(), (ReceiptHeader{"店", "1", "甲", "路"}));
}

TEST_F(Receipt, HeaderAppliedThenStoredIsShownAtTheNextOpening) {
    {
        ReceiptWindow receipt(checkout.area());
        bool opened = false;
        QTimer::singleShot(0, [&] {
            auto* s = dynamic_cast<ReceiptSettingsWindow*>(QApplication::activeModalWidget());
            ASSERT_NE(s, nullptr);
            opened = true;
            type(*s, "编辑框1_超市名称", QStringLiteral("澄屿便利店"));
            type(*s, "编辑框_收银员", QStringLiteral("王小明"));
            type(*s, "编辑框_机号", QStringLiteral("03"));
            type(*s, "编辑框_超市地址", QStringLiteral("人民路 88 号"));
            click(*s, "图形按钮1");
            click(*s, "图形按钮1_关闭5");
        });
        click(receipt, "图形按钮_小窗口2");
        ASSERT_TRUE(opened);
        click(receipt, "图形按钮1_关闭5");
    }
    ReceiptWindow again(checkout.area());
    EXPECT_EQ(text(again, "透明_店铺名字"), "澄屿便利店");
    EXPECT_EQ(text(again, "透明_收银员"), "王小明");
    EXPECT_EQ(text(again, "透明_机码"), "03");
    EXPECT_EQ(text(again, "透明_消费地址"), "人民路 88 号");
}

}  // namespace
}  // namespace shop::receipts
