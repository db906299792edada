// The receipt of a sale finished at 收款, and the figures every receipt shows
// per line: made from the sale, read back from the screen and from its PDF,
// printed at once when the settings ask, and reached from the till itself.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPrinterInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QTest>
#include <cstdio>
#include <memory>

#include "app/navigation.h"
#include "app/scripted_platform.h"
#include "checkout/finished_sale.h"
#include "checkout_stub.h"
#include "receipts/receipt_figures.h"
#include "receipts/receipt_print.h"
#include "receipts/receipt_window.h"
#include "settings/settings_file.h"
#include "support/main_window_driver.h"
#include "support/run_folder.h"

namespace shop::receipts {
namespace {

QString label(const QWidget& w, const char* name) {
    const auto* l = w.findChild<QLabel*>(QString::fromUtf8(name));
    EXPECT_NE(l, nullptr) << name;
    return l ? l->text() : QString();
}
bool shown(const QWidget& w, const char* name) {
    const auto* c = w.findChild<QWidget*>(QString::fromUtf8(name));
    return c && c->isVisibleTo(&w);
}
QString column(std::initializer_list<const char*> entries) {
    QString text;
    for (const char* e : entries) text += QString::fromUtf8(e) + QStringLiteral("\r\n\r\n");
    return text;
}

checkout::FinishedSale sale(checkout::PaymentMethod method, checkout::Fen tendered) {
    checkout::FinishedSale s;
    s.receipt = "01-20261209-0007";
    s.lines = {{{"方便面", "4.5元", "3", "2026年12月9日10时1分2秒"}, 0},
               {{"牛奶", "6", "1", "2026年12月9日10时1分5秒"}, 1}};
    s.total = 1950;
    s.tendered = tendered;
    s.change = tendered - s.total;
    s.method = method;
    s.cashier = "小李";
    s.moment = "2026年12月9日10时2分0秒";
    return s;
}

class SaleReceipt : public ::testing::Test {
protected:
    void SetUp() override {
        settings::writeHeader(run.paths().settingsFile(), {"澄屿超市", "07", "小李", "海边路1号"});
    }
    test::RunFolder run;
    app::ScriptedPlatform platform;
};

// Each line: goods, quantity, unit price (金额), line amount (小计); under the
// footer the tendered amount, the method and the receipt number; the footer
// repeats the header's shop name.
TEST_F(SaleReceipt, ShowsTheLinesAmountsPaymentAndNumber) {
    const struct {
        checkout::PaymentMethod method;
        checkout::Fen tendered;
        const char *method_text, *tendered_text, *change_text;
    } cases[] = {
        {checkout::PaymentMethod::Cash, 5000, "现金", "50元", "30.5元"},
        {checkout::PaymentMethod::WeChat, 1950, "微信", "19.5元", "0元"},
    };
    for (const auto& c : cases) {
        ReceiptWindow w(sale(c.method, c.tendered));
        EXPECT_EQ(label(w, "透明_品名"), column({"方便面", "牛奶"}));
        EXPECT_EQ(label(w, "透明_数量"), column({"3", "1"}));
        EXPECT_EQ(label(w, "透明_金额"), column({"4.5元", "6元"}));
        EXPECT_EQ(label(w, "透明_小计"), column({"13.5元", "6元"}));
        EXPECT_EQ(label(w, "透明_消费金额"), "19.5元");
        EXPECT_EQ(label(w, "透明_实收金额"), c.tendered_text);
        EXPECT_EQ(label(w, "透明_找零"), c.change_text);
        EXPECT_EQ(label(w, "透明_付款方式"), c.method_text);
        EXPECT_EQ(label(w, "透明_小票号"), "01-20261209-0007");
        EXPECT_EQ(label(w, "透明_时间"), "2026年12月9日10时2分0秒");
        EXPECT_EQ(label(w, "透明_超市名字"), "澄屿超市");
        EXPECT_EQ(label(w, "透明_店铺名字"), "澄屿超市");
        EXPECT_EQ(label(w, "透明标签_收款"), "实收金额；\n付款方式；\n小票号；");
        for (const char* name : {"透明标签_收款", "透明_实收金额", "透明_付款方式", "透明_小票号"})
            EXPECT_TRUE(shown(w, name)) << name;
        EXPECT_FALSE(shown(w, "透明_原小票号"));
        EXPECT_EQ(label(w, "透明标签3"), "澄屿_生成账单");
        // Nothing to generate; the payment lines make it taller than designed.
        EXPECT_FALSE(shown(w, "图形按钮_生成账单"));
        EXPECT_GT(w.height(), 491);
        const QWidget* paper = w.findChild<QWidget*>(QStringLiteral("图片框_移动1"));
        const QWidget* last = w.findChild<QWidget*>(QStringLiteral("透明_小票号"));
        EXPECT_LE(last->geometry().bottom(), paper->height());
        EXPECT_LE(paper->geometry().bottom(), w.height());
    }
}

// A refund's receipt: its lines and total negative as stored, the amount
// paid back, its own number and the one of the receipt it takes goods back
// from, on screen and in what goes on paper.
TEST_F(SaleReceipt, ARefundShowsWhatWentBackAndTheOriginalReceipt) {
    checkout::FinishedSale r;
    r.receipt = "01-20261210-0003";
    r.original = "01-20261209-0007";
    r.lines = {{{"方便面", "4.5元", "-2", "2026年12月10日9时0分0秒"}, 0}};
    r.total = -900;
    r.tendered = -900;
    r.method = checkout::PaymentMethod::Alipay;
    r.moment = "2026年12月10日9时0分0秒";
    ReceiptWindow w(r);
    EXPECT_EQ(label(w, "透明标签3"), "澄屿_退货小票");
    EXPECT_EQ(label(w, "透明_数量"), column({"-2"}));
    EXPECT_EQ(label(w, "透明_小计"), column({"-9元"}));
    EXPECT_EQ(label(w, "透明_消费金额"), "-9元");
    EXPECT_EQ(label(w, "透明标签_收款"), "退款金额；\n退款方式；\n小票号；\n原小票号；");
    const QStringList values{"9元", "支付宝", "01-20261210-0003", "01-20261209-0007"};
    const char* names[] = {"透明_实收金额", "透明_付款方式", "透明_小票号", "透明_原小票号"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(label(w, names[i]), values[i]) << names[i];
        EXPECT_TRUE(shown(w, names[i])) << names[i];
    }
    EXPECT_EQ(w.content().paymentValues, values);
    const QWidget* paper = w.findChild<QWidget*>(QStringLiteral("图片框_移动1"));
    EXPECT_LE(w.findChild<QWidget*>(QStringLiteral("透明_原小票号"))->geometry().bottom(),
              paper->height());
    EXPECT_LE(paper->geometry().bottom(), w.height());
}

// A receipt of a list not yet paid has no payment lines, its 小计 filled,
// and never a negative change.
TEST_F(SaleReceipt, BeforePaymentTheLinesHaveAmountsAndNoNegativeChange) {
    const struct {
        const char* changeLabel;
        const char* shown;
    } cases[] = {{"-19.5 元", ""}, {"-0.01 元", ""}, {"0 元", "0 元"}, {"0.5 元", "0.5 元"}};
    for (const auto& c : cases) {
        Checkout checkout;
        checkout.add(QStringLiteral("方便面"), QStringLiteral("4.5元"), QStringLiteral("3"));
        checkout.add(QStringLiteral("牛奶"), QStringLiteral("6"), QStringLiteral("1"));
        checkout.total.setText(QStringLiteral("19.5元"));
        checkout.change.setText(QString::fromUtf8(c.changeLabel));
        ReceiptWindow w(checkout.area());
        w.findChild<QPushButton*>(QStringLiteral("图形按钮_生成账单"))->click();
        EXPECT_EQ(label(w, "透明_找零"), c.shown) << c.changeLabel;
        EXPECT_EQ(label(w, "透明_金额"), column({"4.5元", "6元"}));
        EXPECT_EQ(label(w, "透明_小计"), column({"13.5元", "6元"}));
        EXPECT_EQ(label(w, "透明_超市名字"), "澄屿超市");
        EXPECT_FALSE(shown(w, "透明标签_收款"));
        EXPECT_EQ(w.height(), 491);
        EXPECT_TRUE(w.content().paymentCaptions.isEmpty());
    }
}

TEST(ReceiptFigures, LinesReadAsTheTillTotalsThem) {
    const struct {
        const char *price, *quantity, *unit, *amount;
    } cases[] = {
        {"4.5元", "3", "4.5元", "13.5元"},    {"6.5", "2", "6.5元", "13元"},
        {"12元元", "1", "12元", "12元"},      {"0.05元", "7", "0.05元", "0.35元"},
        {"2.125元", "4", "2.13元", "8.52元"},
    };
    for (const auto& c : cases) {
        const ReceiptGoods g = receiptGoods({{"货", c.price, c.quantity, ""}});
        EXPECT_EQ(g.prices, QStringList{QString::fromUtf8(c.unit)}) << c.price;
        EXPECT_EQ(g.amounts, QStringList{QString::fromUtf8(c.amount)}) << c.price;
        EXPECT_EQ(g.quantities, QStringList{QString::fromUtf8(c.quantity)});
    }
}

class SaleReceiptPdf : public SaleReceipt {
protected:
    void SetUp() override {
        SaleReceipt::SetUp();
        if (std::system("command -v pdftotext >/dev/null") != 0)
            GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    }
    std::string text(const QString& path) const {
        const std::string command = "pdftotext -layout '" + path.toStdString() + "' - 2>/dev/null";
        std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
        std::string out;
        char buf[4096];
        while (pipe && std::fgets(buf, sizeof buf, pipe.get())) out += buf;
        return out;
    }
    QTemporaryDir dir;
};

// Every text the screen shows is on paper, on the line of its caption.
TEST_F(SaleReceiptPdf, ThePdfHoldsWhatTheScreenShows) {
    ReceiptWindow w(sale(checkout::PaymentMethod::Cash, 5000));
    const QString path = dir.filePath(QStringLiteral("sale.pdf"));
    platform.queueFile(path);
    w.saveReceiptPdf();
    ASSERT_TRUE(platform.messages().isEmpty()) << platform.messages().join('|').toStdString();
    const std::string pdf = text(path);
    const auto lineWith = [&](const std::string& caption) {
        const auto at = pdf.find(caption);
        if (at == std::string::npos) return std::string();
        const auto start = pdf.rfind('\n', at) + 1;
        return pdf.substr(start, pdf.find('\n', at) - start);
    };
    const struct {
        const char *caption, *value;
    } lines[] = {
        {"超市名称；", "澄屿超市"},
        {"消费地址；", "海边路1号"},
        {"消费金额；", "19.5元"},
        {"找零钱；", "30.5元"},
        {"实收金额；", "50元"},
        {"付款方式；", "现金"},
        {"小票号；", "01-20261209-0007"},
        {"时间；", "2026年12月9日10时2分0秒"},
        {"方便面", "13.5元"},
        {"牛奶", "6元"},
    };
    for (const auto& l : lines)
        EXPECT_NE(lineWith(l.caption).find(l.value), std::string::npos)
            << l.caption << " " << l.value << " in:\n"
            << pdf;
    EXPECT_NE(lineWith("方便面").find("4.5元"), std::string::npos) << pdf;
}

TEST_F(SaleReceipt, TheSettingsSayWhetherToPrintAtOnce) {
    const struct {
        const char* value;  // nullptr: the key is missing
        bool prints;
    } cases[] = {{nullptr, false}, {"", false},  {"0", false},  {"1", true},
                 {" 1 ", true},    {"是", true}, {"yes", true}, {"否", false}};
    for (const auto& c : cases) {
        if (c.value) {
            ASSERT_TRUE(settings::writeSetting(run.paths().settingsFile(), settings::kTillSection,
                                               settings::kPrintAtPaymentKey, c.value));
        }
        EXPECT_EQ(printsAtPayment(), c.prints) << (c.value ? c.value : "(missing)");
    }
}

// The till's 收款 opens the receipt of the sale it just stored; asked to
// print at once on a machine without a printer, it says so over the receipt.
TEST(SaleReceiptAtTheTill, PaymentOpensTheReceiptOfTheSale) {
    const struct {
        bool print;
        QStringList messages;
    } cases[] = {{false, {}}, {true, {QStringLiteral("没有可用的打印机，账单未打印")}}};
    for (const auto& c : cases) {
        if (c.print && !QPrinterInfo::availablePrinters().isEmpty()) continue;
        test::MainWindowDriver d;
        d.run.setProducts({{"方便面", "4.5元", "20"}, {"牛奶", "6元", "20"}});
        d.run.setProductSave({"方便面", "牛奶"});
        settings::writeHeader(d.run.paths().settingsFile(), {"澄屿超市", "1", "小李", "海边"});
        if (c.print)
            settings::writeSetting(d.run.paths().settingsFile(), settings::kTillSection,
                                   settings::kPrintAtPaymentKey, "1");
        app::Navigation nav;
        nav.saleReceipt = &openSaleReceipt;
        d.start(nav);
        d.chooseGoods(0);
        d.chooseQuantity(QStringLiteral("3"));
        d.click("图形按钮_添加");
        d.chooseGoods(1);
        d.chooseQuantity(QStringLiteral("1"));
        d.click("图形按钮_添加");
        d.tendered()->setText(QStringLiteral("20"));
        QString names, amounts, number, change, tenderedBehind;
        bool opened = false;
        // The receipt opens once the counter is ready for the next customer.
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* w = dynamic_cast<ReceiptWindow*>(QApplication::activeModalWidget());
            if (!w) return;
            poll.stop();
            opened = true;
            names = label(*w, "透明_品名");
            amounts = label(*w, "透明_小计");
            number = label(*w, "透明_小票号");
            change = label(*w, "透明_找零");
            tenderedBehind = d.tendered()->text();
            w->findChild<QPushButton*>(QStringLiteral("图形按钮1_关闭5"))->click();
        });
        poll.start(10);
        d.click("图形按钮_收款");
        for (int i = 0; i < 500 && !opened; ++i) QTest::qWait(10);
        ASSERT_TRUE(opened);
        EXPECT_EQ(tenderedBehind, "");
        EXPECT_EQ(names, column({"方便面", "牛奶"}));
        EXPECT_EQ(amounts, column({"13.5元", "6元"}));
        EXPECT_EQ(change, "0.5元");
        EXPECT_TRUE(number.startsWith(QStringLiteral("01-"))) << number.toStdString();
        EXPECT_EQ(d.platform.messages(), c.messages);
        EXPECT_TRUE(d.rows().empty());
    }
}

}  // namespace
}  // namespace shop::receipts
