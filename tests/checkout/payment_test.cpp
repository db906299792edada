// 收款 at the main window, at the keyboard: the customer's sale leaves the
// list for the sales table and the ticket table, and the next customer
// starts on an empty list.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include "checkout/sale_model.h"
#include "checkout/ticket_table.h"
#include "settings/settings_file.h"
#include "support/main_window_driver.h"

namespace shop::test {
namespace {

using Rows = std::vector<std::vector<std::string>>;

class PaymentTest : public ::testing::Test {
protected:
    MainWindowDriver d;

    void SetUp() override {
        d.run.setProducts({{"方便面", "4.5元", "20"}, {"牛奶", "6元", "20"}});
        d.run.setProductSave({"方便面", "牛奶"});
        settings::writeHeader(d.run.paths().settingsFile(), {"澄屿超市", "1", "小李", "海边"});
        d.start();
        d.window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(d.window.get()));
    }
    void ringUp(int goods, const QString& quantity) {
        d.chooseGoods(goods);
        d.chooseQuantity(quantity);
        d.click("图形按钮_添加");
    }
    std::string ticketPath() const {
        return checkout::ticketTablePath(
            d.run.dir(), std::filesystem::path(d.window->runSalesPath()).filename().string());
    }
    QComboBox* method() const { return d.child<QComboBox>("组合框_付款方式"); }
};

TEST_F(PaymentTest, TheControlsAreThereWithTheirKeys) {
    QPushButton* pay = d.button("图形按钮_收款");
    EXPECT_EQ(pay->text(), "收款");
    EXPECT_TRUE(pay->toolTip().contains("F12"));
    EXPECT_EQ(d.items(method()), (QStringList{"现金", "微信", "支付宝", "银行卡"}));
    EXPECT_EQ(method()->currentText(), "现金");
    const char* keys[] = {"Ctrl+2", "Ctrl+3", "Ctrl+4", "Ctrl+1"};
    const char* chosen[] = {"微信", "支付宝", "银行卡", "现金"};
    for (std::size_t i = 0; i < std::size(keys); ++i) {
        QTest::keySequence(d.window.get(), QKeySequence(QString::fromLatin1(keys[i])));
        EXPECT_EQ(method()->currentText(), chosen[i]) << keys[i];
    }
}

TEST_F(PaymentTest, TwoCustomersEachGetTheirOwnSaleAndTicket) {
    ringUp(0, "3");
    ringUp(1, "1");
    EXPECT_EQ(d.total(), "19.5元");
    d.tendered()->setText("10");
    QTest::keyClick(d.window.get(), Qt::Key_F12);
    EXPECT_EQ(d.platform.messages(), (QStringList{"实收金额不足"}));
    EXPECT_EQ(d.rows().size(), 2u);
    EXPECT_TRUE(readAll(d.window->runSalesPath()).empty());

    d.tendered()->setText("20");
    QTest::keyClick(d.window.get(), Qt::Key_F12);
    EXPECT_TRUE(d.rows().empty());
    EXPECT_EQ(d.total(), "0元");
    EXPECT_EQ(d.tendered()->text(), "");
    EXPECT_EQ(QApplication::focusWidget(), d.goods());
    EXPECT_EQ(readAll(d.window->runSalesPath()).size(), 2u);

    // The next customer, by WeChat: nothing tendered.
    ringUp(1, "2");
    method()->setCurrentIndex(1);
    d.click("图形按钮_收款");
    EXPECT_EQ(d.platform.messages().size(), 1);
    const auto tickets = checkout::readTickets(ticketPath());
    ASSERT_TRUE(tickets);
    ASSERT_EQ(tickets->size(), 2u);
    EXPECT_EQ((*tickets)[0].total, "19.50");
    EXPECT_EQ((*tickets)[0].change, "0.50");
    EXPECT_EQ((*tickets)[0].cashier, "小李");
    EXPECT_EQ((*tickets)[0].records, "1-2");
    EXPECT_EQ((*tickets)[1].method, "微信");
    EXPECT_EQ((*tickets)[1].records, "3-3");
    EXPECT_NE((*tickets)[0].receipt, (*tickets)[1].receipt);
    EXPECT_EQ(method()->currentText(), "现金");  // each sale starts on cash

    // Leaving stores nothing more: both sales are in already.
    d.click("图形按钮1_关闭");
    EXPECT_TRUE(d.platform.exited());
    EXPECT_EQ(readAll(d.window->runSalesPath()).size(), 3u);
}

TEST_F(PaymentTest, PayingForAnEmptyListStoresNothing) {
    d.click("图形按钮_收款");
    EXPECT_EQ(d.platform.messages(), (QStringList{"没有选择商品因此无法收款"}));
    EXPECT_FALSE(checkout::readTickets(ticketPath()));
}

}  // namespace
}  // namespace shop::test
