// The 日结 window as the cashier uses it: the day's figures shown, the cash
// typed, the close confirmed and saved as a PDF that is read back; and a
// day rung up at the keyboard of the main window, closed with the right
// figures.
#include "dayclose/day_close_window.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTreeWidget>

#include "app/clock.h"
#include "app/scripted_platform.h"
#include "dayclose/close_table.h"
#include "refunds/refund_window.h"
#include "settings/settings_file.h"
#include "support/main_window_driver.h"
#include "till_day.h"

namespace shop::test {
namespace {

using dayclose::DayCloseWindow;
using storage::Moment;

const Moment kDay{2026, 12, 10};
Moment at(int hour, int minute) { return {kDay.year, kDay.month, kDay.day, hour, minute, 0}; }

// The text a PDF reader gets from the file, laid out as on the page.
QString pdfText(const QString& path) {
    QProcess reader;
    reader.start(QStringLiteral("pdftotext"),
                 {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (!reader.waitForFinished(20000)) return {};
    return QString::fromUtf8(reader.readAllStandardOutput()).simplified();
}

bool havePdfReader() {
    QProcess probe;
    probe.start(QStringLiteral("pdftotext"), {QStringLiteral("-v")});
    return probe.waitForFinished(5000) && probe.exitStatus() == QProcess::NormalExit;
}

class Window {
public:
    explicit Window(QWidget* parent = nullptr) : w(parent) {}
    DayCloseWindow w;

    template <typename T>
    T* child(const char* name) {
        T* found = w.findChild<T*>(QString::fromUtf8(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QString text(const char* label) { return child<QLabel>(label)->text(); }
    void type(const char* box, const QString& text) {
        child<QLineEdit>(box)->clear();
        QTest::keyClicks(child<QLineEdit>(box), text);
    }
    // Cells of the takings list, row by row.
    std::vector<QStringList> takings() {
        std::vector<QStringList> rows;
        QTreeWidget* list = child<QTreeWidget>("列表框_收款汇总");
        for (int r = 0; r < list->topLevelItemCount(); ++r) {
            QStringList row;
            for (int c = 0; c < 4; ++c) row << list->topLevelItem(r)->text(c);
            rows.push_back(row);
        }
        return rows;
    }
};

TEST(DayCloseWindowTest, ShowsTheDayStoresTheCloseAndSavesItAsAPdf) {
    if (!havePdfReader()) GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    app::ScriptedPlatform platform;
    RunFolder folder;
    settings::writeHeader(folder.paths().settingsFile(), {"澄屿超市", "1", "小李", "海边"});
    int sequence = 0;
    TillRun till(folder.paths(), at(8, 0), sequence);
    const std::string first = till.pay({{"茶", "19.99", "3"}}, "现金", at(8, 5));
    till.pay({{"笔", "1.2", "3"}}, "支付宝", at(8, 30));
    const std::string last = till.pay({{"茶", "19.99", "-1"}}, "现金", at(9, 0), first);
    till.leaveUnpaid({{"糖", "0.1", "1"}, {"盐", "0.2", "1"}}, at(9, 30));
    till.write();
    const app::ClockOverride clock([] { return at(18, 0); });

    Window win;
    EXPECT_EQ(win.text("标签_日期"), "日期；2026年12月10日");
    EXPECT_EQ(win.text("标签_收银员"), "收银员；小李");
    EXPECT_EQ(win.text("标签_小票"), QString::fromStdString("小票；" + first + " 至 " + last));
    EXPECT_EQ(win.text("标签_笔数"), "销售 2 笔，退货 1 笔");
    const std::vector<QStringList> expectedTakings = {{"现金", "59.97元", "19.99元", "39.98元"},
                                                      {"微信", "0元", "0元", "0元"},
                                                      {"支付宝", "3.6元", "0元", "3.6元"},
                                                      {"银行卡", "0元", "0元", "0元"},
                                                      {"合计", "63.57元", "19.99元", "43.58元"}};
    EXPECT_EQ(win.takings(), expectedTakings);
    EXPECT_EQ(win.text("透明标签_未收款"), "2 行，共 0.3元（不计入收入）");
    EXPECT_FALSE(win.child<QPushButton>("图形按钮_确认日结")->isEnabled());
    EXPECT_FALSE(win.child<QPushButton>("图形按钮_保存PDF")->isEnabled()) << "nothing stored yet";

    win.type("编辑框_备用金", "200");
    win.type("编辑框_实点现金", "240");
    EXPECT_EQ(win.text("透明标签_应有现金"), "239.98元");
    EXPECT_EQ(win.text("透明标签_现金差额"), "0.02元（长款）");
    win.child<QLineEdit>("编辑框_备注")->setText("晚班");
    platform.queueAnswer(true);
    win.child<QPushButton>("图形按钮_确认日结")->click();
    const auto closes = dayclose::readCloses(folder.paths().dayCloses()).closes;
    ASSERT_EQ(closes.size(), 1u) << platform.messages().join("|").toStdString();
    EXPECT_EQ(closes[0].countedCash, 24000);
    EXPECT_EQ(closes[0].note, "晚班");
    EXPECT_EQ(win.text("标签_笔数"), "销售 0 笔，退货 0 笔") << "what comes after the close";
    EXPECT_EQ(win.child<QLineEdit>("编辑框_备用金")->text(), "240");

    if (QPrinterInfo::availablePrinters().isEmpty()) {
        win.child<QPushButton>("图形按钮_打印")->click();
        EXPECT_EQ(platform.messages(), QStringList{"没有可用的打印机"});
    }
    const QString pdf = QString::fromStdString(folder.dir()) + "/日结.pdf";
    platform.queueFile(pdf);
    win.child<QPushButton>("图形按钮_保存PDF")->click();
    const QString text = pdfText(pdf);
    for (const std::string& expected : std::vector<std::string>{
             "澄屿超市", "日结单", "日期； 2026年12月10日", "收银员； 小李", "首张小票； " + first,
             "末张小票； " + last, "销售笔数； 2", "退货笔数； 1", "现金 59.97元 19.99元 39.98元",
             "合计 63.57元 19.99元 43.58元", "退出时未收款； 2 行，共 0.3元", "备用金； 200元",
             "应有现金； 239.98元", "实点现金； 240元", "现金差额； 0.02元（长款）", "备注； 晚班"})
        EXPECT_TRUE(text.contains(QString::fromStdString(expected))) << expected << "\n"
                                                                     << text.toStdString();
}

// Sales in several payment methods at the keyboard, an exit with a line left
// unpaid, a refund in the next run, and the close of the day, all through
// the till's own buttons, keys and 更多功能 menu.
TEST(DayCloseWindowTest, ADayRungUpAtTheKeyboardClosesWithTheRightFigures) {
    MainWindowDriver d;
    d.run.setProducts({{"方便面", "4.5元", "50"}, {"牛奶", "6元", "50"}, {"茶", "19.99", "50"}});
    d.run.setProductSave({"方便面", "牛奶", "茶"});
    settings::writeHeader(d.run.paths().settingsFile(), {"澄屿超市", "1", "小李", "海边"});
    std::optional<app::ClockOverride> clock(std::in_place, [] { return at(9, 0); });
    const auto startTill = [&](const app::Navigation& nav) {
        d.start(nav);
        d.window->show();
        return QTest::qWaitForWindowExposed(d.window.get());
    };
    const auto sell = [&](int goods, const QString& quantity, const char* methodKey,
                          const QString& tendered) {
        d.chooseGoods(goods);
        d.chooseQuantity(quantity);
        d.click("图形按钮_添加");
        QTest::keySequence(d.window.get(), QKeySequence(QString::fromLatin1(methodKey)));
        d.tendered()->setText(tendered);
        QTest::keyClick(d.window.get(), Qt::Key_F12);
    };
    const auto function = [&](const QString& entry) {
        d.click("图形按钮_添加产品3");
        auto* menu = d.window->findChild<QMenu*>(QStringLiteral("菜单_更多功能"));
        ASSERT_NE(menu, nullptr);
        for (QAction* action : menu->actions())
            if (action->text() == entry) action->trigger();
        menu->hide();
    };
    ASSERT_TRUE(startTill({}));
    sell(0, "3", "Ctrl+1", "20");  // 13.5 cash
    sell(2, "3", "Ctrl+2", "");    // 59.97 WeChat
    sell(1, "2", "Ctrl+3", "");    // 12 Alipay
    sell(2, "1", "Ctrl+4", "");    // 19.99 card
    sell(1, "1", "Ctrl+1", "10");  // 6 cash: 01-20261210-0005
    d.chooseGoods(0);
    d.chooseQuantity("2");
    d.click("图形按钮_添加");  // 9, left on the list at exit
    d.click("图形按钮1_关闭");
    ASSERT_TRUE(d.platform.exited());
    ASSERT_TRUE(d.platform.messages().isEmpty()) << d.platform.messages().join("|").toStdString();

    // The till starts again; one milk of the fifth sale comes back, in cash.
    d.window.reset();
    clock.emplace([] { return at(15, 0); });
    int refunded = 0, closed = 0;
    app::Navigation nav;
    nav.refundWindow = [&](QWidget* parent, checkout::SaleModel& sale) {
        refunds::RefundWindow refund(sale, parent);
        refund.show();
        auto* number = refund.findChild<QComboBox*>(QStringLiteral("组合框_小票编号"));
        auto* lines = refund.findChild<QTreeWidget*>(QStringLiteral("超级列表框_小票商品"));
        ASSERT_TRUE(number && lines);
        number->setEditText(QStringLiteral("01-20261210-0005"));
        QTest::keyClick(number->lineEdit(), Qt::Key_Return);
        ASSERT_EQ(lines->topLevelItemCount(), 1);
        auto* quantity = qobject_cast<QSpinBox*>(lines->itemWidget(lines->topLevelItem(0), 4));
        ASSERT_NE(quantity, nullptr);
        quantity->setValue(1);
        refund.findChild<QPushButton*>(QStringLiteral("图形按钮_确认退货"))->click();
        ++refunded;
    };
    const QString pdf = QString::fromStdString(d.run.dir()) + "/日结.pdf";
    nav.dayClose = [&](QWidget* parent) {
        Window win(parent);
        EXPECT_EQ(win.text("标签_笔数"), "销售 5 笔，退货 1 笔");
        const std::vector<QStringList> expectedTakings = {{"现金", "19.5元", "6元", "13.5元"},
                                                          {"微信", "59.97元", "0元", "59.97元"},
                                                          {"支付宝", "12元", "0元", "12元"},
                                                          {"银行卡", "19.99元", "0元", "19.99元"},
                                                          {"合计", "111.46元", "6元", "105.46元"}};
        EXPECT_EQ(win.takings(), expectedTakings);
        EXPECT_EQ(win.text("透明标签_未收款"), "1 行，共 9元（不计入收入）");
        EXPECT_EQ(win.text("标签_小票"), "小票；01-20261210-0001 至 01-20261210-0006");
        win.type("编辑框_备用金", "100");
        win.type("编辑框_实点现金", "113");
        EXPECT_EQ(win.text("透明标签_应有现金"), "113.5元");
        EXPECT_EQ(win.text("透明标签_现金差额"), "-0.5元（短款）");
        d.platform.queueAnswer(true);
        win.child<QPushButton>("图形按钮_确认日结")->click();
        d.platform.queueFile(pdf);
        win.child<QPushButton>("图形按钮_保存PDF")->click();
        ++closed;
    };
    ASSERT_TRUE(startTill(nav));
    function(QStringLiteral("退货"));
    EXPECT_EQ(refunded, 1);
    clock.emplace([] { return at(20, 0); });
    function(QStringLiteral("日结"));
    EXPECT_EQ(closed, 1);
    EXPECT_TRUE(d.platform.messages().isEmpty()) << d.platform.messages().join("|").toStdString();
    const auto closes = dayclose::readCloses(d.run.paths().dayCloses()).closes;
    ASSERT_EQ(closes.size(), 1u);
    EXPECT_EQ(closes[0].difference, -50);
    if (havePdfReader()) {
        EXPECT_TRUE(pdfText(pdf).contains(QStringLiteral("现金差额； -0.5元（短款）")));
    }

    // The till sells on after the close looked into its own open tables.
    sell(1, "1", "Ctrl+1", "10");
    EXPECT_EQ(readAll(d.window->runSalesPath()).size(), 2u) << "the refund and this sale";
    EXPECT_TRUE(d.platform.messages().isEmpty()) << d.platform.messages().join("|").toStdString();
}

}  // namespace
}  // namespace shop::test
