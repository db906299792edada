// 清空 voids the open list; one already receipted but not paid may be a sale
// whose customer holds the slip, so the cashier is asked first, No by default.
#include <gtest/gtest.h>

#include <QTest>

#include "support/main_window_driver.h"

namespace shop::test {
namespace {

const QString kQuestion = QStringLiteral(
    "清空提示信息|这张结账单已经生成账单，但还没有收款。清空后这些商品不会记为销售。确定清空吗？");

TEST(ClearReceiptedList, AsksOnlyWhenTheListWasReceiptedAndNotPaid) {
    enum class Before { Nothing, Receipt, ReceiptThenMore, ReceiptThenPaidThenNew, ReceiptOfEmpty };
    const struct {
        const char* what;
        Before before;
        bool answer;
        bool asked;
        bool cleared;
    } cases[] = {
        {"never receipted", Before::Nothing, false, false, true},
        {"receipted, No", Before::Receipt, false, true, false},
        {"receipted, Yes", Before::Receipt, true, true, true},
        {"receipted, then a row more, No", Before::ReceiptThenMore, false, true, false},
        {"receipted, paid, next customer", Before::ReceiptThenPaidThenNew, false, false, true},
        {"receipt of an empty list, then rows", Before::ReceiptOfEmpty, false, false, true},
    };
    for (const auto& c : cases) {
        MainWindowDriver d;
        d.run.setProducts({{"方便面", "4.5元", "20"}});
        d.run.setProductSave({"方便面"});
        app::Navigation nav;
        nav.receiptWindow = [](QWidget*, const app::CheckoutArea&) {};
        d.start(nav);
        const auto ringUp = [&] {
            d.chooseGoods(0);
            d.chooseQuantity(QStringLiteral("1"));
            d.click("图形按钮_添加");
        };
        if (c.before == Before::ReceiptOfEmpty) d.click("图形按钮_生成账单");
        ringUp();
        if (c.before != Before::Nothing && c.before != Before::ReceiptOfEmpty)
            d.click("图形按钮_生成账单");
        if (c.before == Before::ReceiptThenMore) ringUp();
        if (c.before == Before::ReceiptThenPaidThenNew) {
            d.tendered()->setText(QStringLiteral("100"));
            d.click("图形按钮_收款");
            ASSERT_TRUE(d.rows().empty()) << c.what;
            ringUp();
        }
        const std::size_t rows = d.rows().size();
        d.platform.queueAnswer(c.answer);
        d.click("图形按钮_清空");
        EXPECT_EQ(d.platform.questions(), c.asked ? QStringList{kQuestion} : QStringList{})
            << c.what;
        EXPECT_EQ(d.rows().size(), c.cleared ? 0u : rows) << c.what;
    }
}

}  // namespace
}  // namespace shop::test
