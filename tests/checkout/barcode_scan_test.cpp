// A barcode scanner at the counter, driven as one drives the program: the
// code's digits and Enter as key events into the focused box.
#include "checkout/barcode_scan.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <fstream>
#include <functional>

#include "barcodes/barcode_table.h"
#include "barcodes/check_digit.h"
#include "checkout/sale_model.h"
#include "checkout/scan_burst.h"
#include "storage/data_paths.h"
#include "support/main_window_driver.h"

namespace shop::test {
namespace {

TEST(ScanText, IsDigitsOfACodeWithPerhapsAQuantityFirst) {
    const struct {
        const char* typed;
        const char* code;  // null: not a scan
        int quantity;
    } cases[] = {
        {"6901234567892", "6901234567892", 1},
        {"3*6901234567892", "6901234567892", 3},
        {"96385074", "96385074", 1},
        {"6901234567899", "6901234567899", 1},
        {"123456789", "123456789", 1},
        {"1234567", nullptr, 0},
        {"kqs", nullptr, 0},
        {"矿泉水", nullptr, 0},
        {"0*6901234567892", nullptr, 0},
        {"100000*6901234567892", nullptr, 0},
        {"*6901234567892", nullptr, 0},
        {"3*", nullptr, 0},
        {"6901234 567892", nullptr, 0},
        {"690123456789a", nullptr, 0},
    };
    for (const auto& c : cases) {
        const auto scan = checkout::readScanText(c.typed);
        EXPECT_EQ(scan.has_value(), c.code != nullptr) << c.typed;
        if (!scan || !c.code) continue;
        EXPECT_EQ(scan->code, c.code);
        EXPECT_EQ(scan->quantity, c.quantity) << c.typed;
    }
}

TEST(ScanBurst, OnlyFastDigitsEndedFastByEnterAreAScan) {
    const struct {
        const char* keys;
        int gapMs;       // between keys
        int enterGapMs;  // before Enter
        bool scan;
    } cases[] = {
        {"6901234567892", 2, 2, true},      {"96385074", 0, 0, true},
        {"6901234567892", 120, 120, false},  // a person typing
        {"6901234567892", 2, 300, false},    // digits, then Enter much later
        {"1234567", 2, 2, false},            // too short for a code
        {"69012.34567892", 2, 2, false},     // broken by another key
    };
    for (const auto& c : cases) {
        checkout::ScanBurst burst;
        std::int64_t ms = 1000;
        bool began = false;
        for (const char* k = c.keys; *k; ++k) {
            if (burst.key(*k, ms) && k == c.keys) began = true;
            ms += c.gapMs;
        }
        EXPECT_TRUE(began) << c.keys << ": the first digit begins the burst";
        const auto scan = burst.enter(ms - c.gapMs + c.enterGapMs);
        EXPECT_EQ(scan.has_value(), c.scan) << c.keys << " every " << c.gapMs << " ms";
        if (scan) {
            EXPECT_EQ(*scan, c.keys);
        }
    }
}

class BarcodeScanTest : public ::testing::Test {
protected:
    MainWindowDriver d;
    std::vector<std::string> registered;

    void SetUp() override {
        d.run.setProducts({{"可口可乐", "3", "5"},
                           {"矿泉水", "1.5", "9"},
                           {"苹果", "12.8元", "40"},
                           {"无价", "", "1"},
                           {"面包", "4元", "3"},
                           {"500ml可乐", "3.5", "2"},
                           {"12345670", "7", "3"}});  // a goods named by its shelf number
        d.run.setProductSave(
            {"可口可乐", "矿泉水", "苹果", "无价", "面包", "500ml可乐", "12345670"});
        ASSERT_TRUE(barcodes::addCodes(d.run.paths().barcodes(), {{"6901234567892", "矿泉水"},
                                                                  {"036000291452", "可口可乐"},
                                                                  {"96385074", "面包"},
                                                                  {"2000001", "苹果"},
                                                                  {"2100001", "苹果"},
                                                                  {"6901234567908", "已下架"},
                                                                  {"6901234567915", "无价"}})
                        .ok());
        std::ofstream(storage::joinPath(d.run.dir(), storage::kSettingsFolder, "店内码规则.txt"))
            << "# 称重\n2 1 CCCCC WWWWW K\n2 F CCCCC PPPPP K\n";
        app::Navigation nav;
        nav.productWindowForCode = [this](QWidget*, const app::CheckoutArea&,
                                          const std::string& code) { registered.push_back(code); };
        d.start(nav);
        ASSERT_FALSE(d.platform.exited());
        d.window->show();
        QApplication::setActiveWindow(d.window.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(d.window.get()));
        d.goods()->setFocus();
    }
    // Keys go where the window system sends them: to an open list first.
    static QWidget* keyTarget() {
        QWidget* popup = QApplication::activePopupWidget();
        return popup ? popup : QApplication::focusWidget();
    }
    // As a scanner types: every digit, then Return, with no pause.
    static void scan(const std::string& typed) {
        QTest::keyClicks(keyTarget(), QString::fromStdString(typed));
        QTest::keyClick(keyTarget(), Qt::Key_Return);
    }
    // As a person types: `gapMs` before every key.
    static void type(const std::string& typed, int gapMs) {
        for (const char c : typed) QTest::keyClick(keyTarget(), c, Qt::NoModifier, gapMs);
        QTest::keyClick(keyTarget(), Qt::Key_Return, Qt::NoModifier, gapMs);
    }
    std::vector<std::string> row(std::size_t i) const { return d.rows().at(i); }
};

TEST_F(BarcodeScanTest, EachScanAddsARowAtTheCataloguePriceAndTheBoxWaitsForTheNext) {
    const struct {
        const char* typed;
        const char* name;
        const char* price;
        const char* quantity;
    } scans[] = {
        {"6901234567892", "矿泉水", "1.5", "1"},   {"6901234567892", "矿泉水", "1.5", "1"},
        {"3*6901234567892", "矿泉水", "1.5", "3"}, {"036000291452", "可口可乐", "3", "1"},
        {"0036000291452", "可口可乐", "3", "1"},  // UPC-A read as its EAN-13 form
        {"96385074", "面包", "4元", "1"},
    };
    for (std::size_t i = 0; i < std::size(scans); ++i) {
        scan(scans[i].typed);
        ASSERT_EQ(d.rows().size(), i + 1) << scans[i].typed;
        EXPECT_EQ(row(i)[0], scans[i].name);
        EXPECT_EQ(row(i)[1], scans[i].price);
        EXPECT_EQ(row(i)[2], scans[i].quantity);
        EXPECT_EQ(QApplication::focusWidget(), d.goods()) << "ready for the next scan";
        EXPECT_EQ(d.goods()->lineEdit()->text(), "");
        EXPECT_EQ(d.hint(), "");
    }
    EXPECT_EQ(d.total(), QStringLiteral("17.5元"));
    EXPECT_EQ(d.window->sale().lines().at(3).goodsPosition, 0) << "the stock follows by position";
}

TEST_F(BarcodeScanTest, ACodeThatCannotBeSoldAddsNothingAndSaysWhyInTheWindow) {
    const struct {
        const char* typed;
        const char* hint;
        bool canRegister;
    } cases[] = {
        {"6901234567899", "条码校验错误，请重新扫描", false},
        {"690123456789", "条码校验错误，请重新扫描", false},  // 12 digits, not a UPC-A
        {"123456789", "条码校验错误，请重新扫描", false},
        {"4006381333931", "条码 4006381333931 未登记", true},
        {"6901234567908", "条码 6901234567908 的商品“已下架”不在商品列表中", false},
        {"6901234567915", "商品“无价”在产品库中没有价格", false},
    };
    QPushButton* registerButton = d.button("按钮_登记条码");
    for (const auto& c : cases) {
        scan(c.typed);
        EXPECT_TRUE(d.rows().empty()) << c.typed;
        EXPECT_EQ(d.hint(), QString::fromUtf8(c.hint)) << c.typed;
        EXPECT_EQ(registerButton->isVisible(), c.canRegister) << c.typed;
        EXPECT_EQ(QApplication::focusWidget(), d.goods());
    }
    EXPECT_TRUE(d.platform.messages().isEmpty()) << "no message box at the counter";

    scan("4006381333931");
    registerButton->click();
    EXPECT_EQ(registered, std::vector<std::string>{"4006381333931"});
    EXPECT_FALSE(registerButton->isVisible());
    scan("6901234567892");
    EXPECT_EQ(d.rows().size(), 1u) << "a sold scan clears the hint";
    EXPECT_EQ(d.hint(), "");
}

TEST_F(BarcodeScanTest, ScaleLabelsSellAtTheLabelsAmount) {
    const struct {
        std::string body;  // the label without its check digit
        const char* price;
    } labels[] = {
        {"200000101234", "12.34元"},  // price layout: 1234 fen
        {"200000100005", "0.05元"},
        {"210000100750", "9.6元"},    // weight layout: 750 g at 12.8元 the kilogram
        {"210000101001", "12.81元"},  // 1001 g: 12.8128 rounds to the fen
    };
    for (std::size_t i = 0; i < std::size(labels); ++i) {
        scan(barcodes::withCheckDigit(labels[i].body));
        ASSERT_EQ(d.rows().size(), i + 1) << labels[i].body;
        EXPECT_EQ(row(i)[0], "苹果");
        EXPECT_EQ(row(i)[1], labels[i].price);
        EXPECT_EQ(row(i)[2], "1");
    }
    EXPECT_EQ(d.total(), QStringLiteral("34.8元"));
    scan(barcodes::withCheckDigit("230000101234"));
    EXPECT_EQ(d.hint(), QString::fromStdString("条码 " + barcodes::withCheckDigit("230000101234") +
                                               " 未登记"))
        << "goods number 2300001 is no goods";
}

// A scan made by mistake in a box of other digits (the cashier has not
// moved on: the money typed, or the quantity the goods picked moved to)
// sells the scanned goods, leaves the box as it was and sends the next scan
// to the goods.
TEST_F(BarcodeScanTest, AScanIntoTheAmountOrQuantityBoxSellsAndLeavesTheBoxAsItWas) {
    const struct {
        const char* box;
        std::function<QLineEdit*()> ready;  // the cashier's keys: the box they left
        const char* code;
        const char* sold;
        const char* change;  // null: not the money
    } cases[] = {
        {"amount",
         [this] {
             d.tendered()->setFocus();
             QTest::keyClicks(d.tendered(), QStringLiteral("50"), Qt::NoModifier, 150);
             return d.tendered();
         },
         "6901234567892", "矿泉水", "48.5 元"},
        {"quantity",
         [this] {
             d.chooseGoods(1);  // 矿泉水
             return d.quantity()->lineEdit();
         },
         "96385074", "面包", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.box);
        d.window->sale().clear();
        QLineEdit* box = c.ready();
        const QWidget* focus = QApplication::focusWidget();
        ASSERT_TRUE(focus == box || focus == box->parentWidget()) << "the keys went to the box";
        const QString before = box->text();
        QTest::qWait(150);  // then picks up the scanner
        scan(c.code);
        ASSERT_EQ(d.rows().size(), 1u);
        EXPECT_EQ(row(0)[0], c.sold);
        EXPECT_EQ(row(0)[2], "1");
        EXPECT_EQ(box->text(), before);
        if (c.change) {
            EXPECT_EQ(d.change(), QString::fromUtf8(c.change));
        }
        EXPECT_EQ(QApplication::focusWidget(), d.goods()) << "the next scan goes to the goods";
    }
}

// Digits typed at a person's pace stay money, however many.
TEST_F(BarcodeScanTest, DigitsTypedAtAPersonsPaceInTheAmountBoxStayMoney) {
    d.tendered()->setFocus();
    type("12345678", 60);
    EXPECT_TRUE(d.rows().empty());
    EXPECT_EQ(d.tendered()->text(), "12345") << "the money box's own limit";
}

TEST_F(BarcodeScanTest, NamesAndShortDigitsAreStillSearched) {
    const struct {
        const char* typed;
        const char* picked;
        const char* price;
    } cases[] = {{"kqs", "矿泉水", "1.5"}, {"500", "500ml可乐", "3.5"}};
    for (const auto& c : cases) {
        d.goods()->setFocus();
        d.goods()->lineEdit()->clear();
        scan(c.typed);
        EXPECT_EQ(d.goods()->currentText(), QString::fromUtf8(c.picked)) << c.typed;
        EXPECT_EQ(d.price()->text(), QString::fromUtf8(c.price)) << c.typed;
        EXPECT_TRUE(d.rows().empty()) << "a search picks; it does not add";
    }
}

// Digits that name a goods exactly are its name when the cashier types
// them, and a code when the scanner does; digits that name no goods are a
// code however they come (typed off a label the scanner cannot read).
TEST_F(BarcodeScanTest, DigitsTypedAtAPersonsPaceThatNameAGoodsChooseIt) {
    const struct {
        const char* typed;
        int gapMs;           // before every key
        const char* picked;  // the goods chosen by name; null when none
        const char* sold;    // the row's goods; null when none
        const char* hint;
    } cases[] = {
        {"12345670", 60, "12345670", nullptr, ""},
        {"12345670", 0, nullptr, nullptr, "条码 12345670 未登记"},
        {"6901234567892", 60, nullptr, "矿泉水", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.typed) + " every " + std::to_string(c.gapMs) + " ms");
        d.window->sale().clear();
        d.goods()->setCurrentIndex(-1);
        d.goods()->setFocus();
        QTest::qWait(150);  // a pause before the first key
        type(c.typed, c.gapMs);
        EXPECT_EQ(d.goods()->currentText(), c.picked ? QString::fromUtf8(c.picked) : QString());
        if (c.picked) {
            EXPECT_EQ(d.price()->text(), "7");
        }
        ASSERT_EQ(d.rows().size(), c.sold ? 1u : 0u);
        if (c.sold) {
            EXPECT_EQ(row(0)[0], c.sold);
        }
        EXPECT_EQ(d.hint(), QString::fromUtf8(c.hint));
    }
}

}  // namespace
}  // namespace shop::test
