// The receipt on paper: PDFs read back with pdftotext (the text a reader or
// a printer gets), the fonts they embed, page breaks on a printer-sized
// page, and the window's menu, save dialog and printer check.
#include "receipts/receipt_print.h"

#include <gtest/gtest.h>

#include <QAbstractScrollArea>
#include <QApplication>
#include <QContextMenuEvent>
#include <QFrame>
#include <QMenu>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest/QTest>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <sstream>
#include <vector>

#include "app/scripted_platform.h"
#include "checkout_stub.h"
#include "receipts/receipt_window.h"
#include "settings/settings_file.h"
#include "support/command_output.h"
#include "support/run_folder.h"

namespace shop::receipts {
namespace {

std::string run(const std::string& command) { return test::commandOutput(command); }
std::string quoted(const QString& path) { return test::shellQuoted(path); }
std::string pdfText(const QString& path) {
    return run("pdftotext -layout " + quoted(path) + " - 2>/dev/null");
}
// pdffonts's table: each font's name with its "emb" column.
std::vector<std::pair<std::string, std::string>> pdfFonts(const QString& path) {
    std::istringstream table(run("pdffonts " + quoted(path) + " 2>/dev/null"));
    std::vector<std::pair<std::string, std::string>> fonts;
    std::string line;
    std::size_t emb = std::string::npos;
    while (std::getline(table, line)) {
        if (emb == std::string::npos) {
            emb = line.find(" emb ");
            if (emb != std::string::npos) ++emb;
        } else if (line.size() > emb + 3 && line[0] != '-') {
            fonts.emplace_back(line.substr(0, line.find(' ')), line.substr(emb, 3));
        }
    }
    return fonts;
}
int pdfPages(const QString& path) {
    const std::string info = run("pdfinfo " + quoted(path) + " 2>/dev/null");
    const auto at = info.find("Pages:");
    return at == std::string::npos ? -1 : std::atoi(info.c_str() + at + 6);
}

ReceiptContent sample() {
    ReceiptContent r;
    r.shopName = QStringLiteral("老王超市");
    r.cashier = QStringLiteral("张三");
    r.machine = QStringLiteral("07");
    r.time = QStringLiteral("2024年3月5日14时7分9秒");
    r.names = {QStringLiteral("矿泉水"), QStringLiteral("方便面")};
    r.quantities = {QStringLiteral("2"), QStringLiteral("1")};
    r.prices = {QStringLiteral("2元"), QStringLiteral("4.5元")};
    r.address = QStringLiteral("人民路8号");
    r.total = QStringLiteral("8.5元");
    r.change = QStringLiteral("1.5元");
    return r;
}

class ReceiptPdf : public ::testing::Test {
protected:
    void SetUp() override {
        if (run("command -v pdftotext").empty())
            GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    }
    QString file(const char* name) const { return m_dir.filePath(QString::fromUtf8(name)); }
    QTemporaryDir m_dir;
};

TEST_F(ReceiptPdf, HoldsTheWholeReceiptAsTextWithItsFontEmbedded) {
    const QString path = file("账单.pdf");
    ASSERT_TRUE(writeReceiptPdf(path, sample()));
    const std::string text = pdfText(path);
    for (const char* expected :
         {"老王超市", "张三", "07", "2024年3月5日14时7分9秒", "品名", "矿泉水", "方便面", "4.5元",
          "人民路8号", "消费金额", "8.5元", "找零钱", "1.5元"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected << " missing from:\n" << text;
    EXPECT_EQ(pdfPages(path), 1);

    // Every font the receipt draws with travels inside the file.
    const auto fonts = pdfFonts(path);
    ASSERT_FALSE(fonts.empty());
    for (const auto& [name, embedded] : fonts) {
        EXPECT_EQ(name.rfind("WenQuanYi", 0), 0u) << name;
        EXPECT_EQ(embedded, "yes") << name;
    }
}

TEST_F(ReceiptPdf, LongReceiptsKeepEveryLine) {
    ReceiptContent r = sample();
    r.names.clear();
    r.quantities.clear();
    r.prices.clear();
    for (int i = 1; i <= 150; ++i) {
        r.names << QStringLiteral("商品%1").arg(i);
        r.quantities << QString::number(i);
        r.prices << QStringLiteral("1元");
    }
    // The PDF is one slip as long as the receipt.
    const QString slip = file("slip.pdf");
    ASSERT_TRUE(writeReceiptPdf(slip, r));
    EXPECT_EQ(pdfPages(slip), 1);
    std::string text = pdfText(slip);
    for (const char* expected : {"商品1 ", "商品75", "商品150", "8.5元"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected;

    // A printer's page is fixed: the lines go on over further pages.
    const QString a4 = file("a4.pdf");
    {
        QPdfWriter page(a4);
        page.setPageSize(QPageSize(QPageSize::A4));
        ASSERT_TRUE(renderReceipt(page, r));
    }
    EXPECT_GT(pdfPages(a4), 1);
    text = pdfText(a4);
    for (const char* expected : {"老王超市", "商品1 ", "商品150", "8.5元"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected;
}

TEST_F(ReceiptPdf, AnUnwritableFileFails) {
    EXPECT_FALSE(writeReceiptPdf(file("no-such-folder/账单.pdf"), sample()));
}

class ReceiptOutput : public ReceiptPdf {
protected:
    test::RunFolder runFolder;
    app::ScriptedPlatform platform;
    Checkout checkout;
};

TEST_F(ReceiptOutput, SavesTheGeneratedReceiptAsShown) {
    ASSERT_TRUE(settings::writeHeader(runFolder.paths().settingsFile(),
                                      {"老王超市", "07", "张三", "人民路8号"}));
    checkout.add(QStringLiteral("牛奶"), QStringLiteral("6元"), QStringLiteral("2"));
    checkout.add(QStringLiteral("面包"), QStringLiteral("8.5元"), QStringLiteral("1"));
    checkout.total.setText(QStringLiteral("20.5元"));
    checkout.change.setText(QStringLiteral("9.5元"));
    ReceiptWindow w(checkout.area());
    w.findChild<QPushButton*>(QStringLiteral("图形按钮_生成账单"))->click();

    // The name from the dialog gets its ".pdf" when the user left it out.
    platform.queueFile(file("today"));
    w.saveReceiptPdf();
    ASSERT_TRUE(QFile::exists(file("today.pdf")));
    EXPECT_TRUE(platform.messages().isEmpty()) << platform.messages().join('|').toStdString();
    EXPECT_TRUE(platform.fileFilters().last().contains("*.pdf"));
    const std::string text = pdfText(file("today.pdf"));
    for (const char* expected :
         {"老王超市", "张三", "牛奶", "面包", "6元", "20.5元", "9.5元", "人民路8号"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected << " missing from:\n" << text;
    // One line per goods line, not the blank lines the window shows between them.
    EXPECT_EQ(w.content().names, (QStringList{QStringLiteral("牛奶"), QStringLiteral("面包")}));
}

TEST_F(ReceiptOutput, CancelWritesNothingAndAFailedWriteIsSaid) {
    ReceiptWindow w(checkout.area());
    w.saveReceiptPdf();  // no file queued: the dialog was cancelled
    EXPECT_TRUE(platform.messages().isEmpty());
    EXPECT_TRUE(QDir(m_dir.path()).isEmpty());

    platform.queueFile(file("missing/账单.pdf"));
    w.saveReceiptPdf();
    ASSERT_EQ(platform.messages().size(), 1);
    EXPECT_TRUE(platform.messages()[0].startsWith(QStringLiteral("账单 PDF 保存失败")));
}

// The window system names the pointer's place on the screen with the click;
// the menu opens there even while the window is believed to stand elsewhere.
TEST_F(ReceiptOutput, RightClickOnThePaperOffersPrintAndPdfWhereTheClickWas) {
    ReceiptWindow w(checkout.area());
    w.show();
    auto* paper = w.findChild<QFrame*>(QStringLiteral("图片框_移动1"));
    ASSERT_NE(paper, nullptr);
    const QPoint local(20, 200);
    const QPoint pointer = paper->mapToGlobal(local) + QPoint(545, 138);
    QContextMenuEvent press(QContextMenuEvent::Mouse, local, pointer);
    QApplication::sendEvent(paper, &press);
    ASSERT_TRUE(w.outputMenu()->isVisible());
    EXPECT_EQ(w.outputMenu()->pos(), pointer);
    QStringList texts;
    for (const QAction* a : w.outputMenu()->actions()) texts << a->text();
    EXPECT_EQ(texts, (QStringList{QStringLiteral("打印账单…"), QStringLiteral("保存为 PDF…")}));

    platform.queueFile(file("menu.pdf"));
    w.outputMenu()->actions()[1]->trigger();
    EXPECT_TRUE(QFile::exists(file("menu.pdf")));
    w.outputMenu()->hide();
}

// A right click on a long receipt, scrolled or not, on a goods line or on
// the header, opens the menu where the pointer is.
TEST_F(ReceiptOutput, TheMenuOpensAtThePointerOnALongReceipt) {
    for (int i = 0; i < 40; ++i)
        checkout.add(QStringLiteral("商品%1").arg(i), QStringLiteral("2元"), QStringLiteral("1"));
    ReceiptWindow w(checkout.area());
    w.show();
    w.findChild<QPushButton*>(QStringLiteral("图形按钮_生成账单"))->click();
    auto* scroll = w.findChild<QAbstractScrollArea*>(QStringLiteral("账单滚动区"));
    ASSERT_NE(scroll, nullptr);
    ASSERT_GT(scroll->verticalScrollBar()->maximum(), 0) << "the receipt is not long";
    const auto inWindow = [&](const char* name, QPoint at) {
        const auto* widget = w.findChild<QWidget*>(QString::fromUtf8(name));
        return widget ? widget->mapTo(&w, at) : QPoint(-1, -1);
    };
    const struct {
        const char* what;
        int scrolled;  // 0 top, 1 bottom
        const char* on;
        QPoint at;
    } cases[] = {
        {"a goods line, at the top", 0, "账单滚动区", QPoint(30, 10)},
        {"a goods line, scrolled to the end", 1, "账单滚动区", QPoint(30, 150)},
        {"a price, scrolled to the end", 1, "账单滚动区", QPoint(170, 100)},
        {"the shop's name", 1, "透明_店铺名字", QPoint(20, 20)},
        {"the total", 1, "透明_消费金额", QPoint(5, 5)},
    };
    for (const auto& c : cases) {
        scroll->verticalScrollBar()->setValue(c.scrolled ? scroll->verticalScrollBar()->maximum()
                                                         : 0);
        QApplication::processEvents();
        const QPoint local = inWindow(c.on, c.at);
        ASSERT_TRUE(w.rect().contains(local)) << c.what;
        QTest::mousePress(w.windowHandle(), Qt::RightButton, {}, local);
        QTest::mouseRelease(w.windowHandle(), Qt::RightButton, {}, local);
        ASSERT_TRUE(w.outputMenu()->isVisible()) << c.what;
        EXPECT_EQ(w.outputMenu()->pos(), w.mapToGlobal(local)) << c.what;
        w.outputMenu()->hide();
    }
}

TEST_F(ReceiptOutput, PrintingWithoutAPrinterSaysSo) {
    if (!QPrinterInfo::availablePrinters().isEmpty()) GTEST_SKIP() << "this machine has a printer";
    ReceiptWindow w(checkout.area());
    w.printReceipt();
    EXPECT_EQ(platform.messages(), QStringList{QStringLiteral("没有可用的打印机")});
}

}  // namespace
}  // namespace shop::receipts
