// The figures of a day close against sums worked out by hand, from tables
// written as the till writes them: exact to the fen where binary floating
// point is not, by payment method, refunds apart, unpaid exit lines apart,
// only the day's records, and only what came after the day's last close.
#include "dayclose/day_figures.h"

#include <gtest/gtest.h>

#include "dayclose/close_record.h"
#include "dayclose/day_records.h"
#include "till_day.h"

namespace shop::test {
namespace {

using checkout::PaymentMethod;
using dayclose::CloseMark;
using dayclose::dayFigures;
using dayclose::DayFigures;
using dayclose::readDay;
using storage::Moment;

const Moment kDay{2026, 12, 10};
Moment at(int hour, int minute, const Moment& day = kDay) {
    return {day.year, day.month, day.day, hour, minute, 0};
}

class DayFiguresTest : public ::testing::Test {
protected:
    RunFolder folder;
    int sequence = 0;

    TillRun run(const Moment& start) { return TillRun(folder.paths(), start, sequence); }
    DayFigures figures(const std::optional<CloseMark>& after = std::nullopt) const {
        const dayclose::DayRecords records = readDay(folder.dir(), kDay);
        EXPECT_TRUE(records.unreadable.empty());
        return dayFigures(records, kDay, after);
    }
};

// Amounts binary floating point gets wrong, summed to the fen.
TEST_F(DayFiguresTest, SumsAreExactToTheFen) {
    struct Case {
        const char* what;
        std::vector<std::vector<Line>> sales;
        checkout::Fen expected;
    } cases[] = {
        {"0.1 + 0.2", {{{"糖", "0.1", "1"}}, {{"盐", "0.2", "1"}}}, 30},
        {"3 x 1.2", {{{"笔", "1.2", "3"}}}, 360},
        {"19.99 x 3", {{{"茶", "19.99", "3"}}}, 5997},
        {"prices as the catalogue writes them",
         {{{"面包", "4元", "2"}, {"水", "1.5元", "3"}}},
         1250},
        {"0.1 ten times", std::vector<std::vector<Line>>(10, {{"糖", "0.1", "1"}}), 100},
    };
    for (const Case& c : cases) {
        RunFolder fresh;
        int seq = 0;
        TillRun till(fresh.paths(), at(8, 0), seq);
        // Each sale once paid (its ticket's total) and once left on the list
        // at an exit (its lines' price x quantity).
        for (const auto& lines : c.sales) {
            till.pay(lines, "现金", at(9, 0));
            till.leaveUnpaid(lines, at(10, 0));
        }
        till.write();
        const DayFigures f = dayFigures(readDay(fresh.dir(), kDay), kDay, std::nullopt);
        EXPECT_EQ(f.salesTotal, c.expected) << c.what;
        EXPECT_EQ(f.unpaidAmount, c.expected) << c.what;
        EXPECT_EQ(f.of(PaymentMethod::Cash).sales, c.expected) << c.what;
        EXPECT_EQ(f.sales, static_cast<int>(c.sales.size())) << c.what;
    }
}

// Two runs of one day: each method apart, refunds given back by their
// method, and lines an exit left unpaid.
TEST_F(DayFiguresTest, ADayByMethodWithRefundsAndUnpaidLines) {
    TillRun morning = run(at(8, 0));
    const std::string first =
        morning.pay({{"牛奶", "6元", "2"}, {"面包", "4.5元", "1"}}, "现金", at(8, 5));
    const std::string tea = morning.pay({{"茶", "19.99", "3"}}, "微信", at(8, 10));
    const std::string pens = morning.pay({{"笔", "1.2", "3"}}, "支付宝", at(9, 0));
    morning.leaveUnpaid({{"糖", "0.1", "3"}, {"盐", "0.2", "1"}}, at(11, 0));
    morning.write();
    TillRun afternoon = run(at(14, 0));
    afternoon.pay({{"米", "45.8元", "1"}}, "银行卡", at(14, 30));
    afternoon.pay({{"茶", "19.99", "-1"}}, "微信", at(15, 0), tea);
    // A refund that names no method gives back the way its receipt was paid.
    afternoon.pay({{"笔", "1.2", "-1"}}, "", at(15, 30), pens);
    const std::string last = afternoon.pay({{"牛奶", "6元", "-1"}}, "现金", at(16, 0), first);
    afternoon.write();

    const DayFigures f = figures();
    EXPECT_EQ(f.sales, 4);
    EXPECT_EQ(f.refunds, 3);
    EXPECT_EQ(f.of(PaymentMethod::Cash).sales, 1650);  // 12 + 4.5
    EXPECT_EQ(f.of(PaymentMethod::Cash).refunds, 600);
    EXPECT_EQ(f.of(PaymentMethod::WeChat).sales, 5997);
    EXPECT_EQ(f.of(PaymentMethod::WeChat).refunds, 1999);
    EXPECT_EQ(f.of(PaymentMethod::WeChat).net(), 3998);
    EXPECT_EQ(f.of(PaymentMethod::Alipay).sales, 360);
    EXPECT_EQ(f.of(PaymentMethod::Alipay).refunds, 120);
    EXPECT_EQ(f.of(PaymentMethod::Card).sales, 4580);
    EXPECT_EQ(f.salesTotal, 1650 + 5997 + 360 + 4580);
    EXPECT_EQ(f.refundTotal, 600 + 1999 + 120);
    EXPECT_EQ(f.unpaidLines, 2);
    EXPECT_EQ(f.unpaidAmount, 50);  // 0.3 + 0.2, in no method's revenue
    EXPECT_EQ(f.firstReceipt, first);
    EXPECT_EQ(f.lastReceipt, last);
    EXPECT_EQ(f.end, (CloseMark{afternoon.salesTable(), 4}));
    EXPECT_EQ(dayclose::expectedCash(f, 10000), 10000 + 1650 - 600);
}

// A run that was on at midnight gives the day only what it sold after
// midnight; the days before and runs before it give nothing.
TEST_F(DayFiguresTest, OnlyTheDaysOwnRecordsCount) {
    const Moment dayBefore{2026, 12, 9}, twoDaysBefore{2026, 12, 8};
    int earlierSequence = 0;
    TillRun old(folder.paths(), at(9, 0, twoDaysBefore), earlierSequence);
    old.pay({{"旧", "100", "1"}}, "现金", at(9, 5, twoDaysBefore));
    old.write();
    TillRun overnight(folder.paths(), at(20, 0, dayBefore), earlierSequence);
    overnight.pay({{"昨", "50", "1"}}, "现金", at(23, 0, dayBefore));
    overnight.leaveUnpaid({{"昨未付", "7", "1"}}, at(23, 30, dayBefore));
    const std::string today = overnight.pay({{"今", "3.3", "1"}}, "微信", at(0, 30));
    overnight.leaveUnpaid({{"今未付", "2", "2"}}, at(1, 0));
    overnight.write();

    const DayFigures f = figures();
    EXPECT_EQ(f.sales, 1);
    EXPECT_EQ(f.salesTotal, 330);
    EXPECT_EQ(f.of(PaymentMethod::Cash).sales, 0);
    EXPECT_EQ(f.unpaidLines, 1);
    EXPECT_EQ(f.unpaidAmount, 400);
    EXPECT_EQ(f.firstReceipt, today);
}

// A shift change: the second close of the day counts only what came after
// the first one's end, within the same run and in later runs.
TEST_F(DayFiguresTest, ASecondCloseCountsOnlyWhatCameAfterTheFirst) {
    TillRun morning = run(at(8, 0));
    morning.pay({{"牛奶", "6元", "1"}}, "现金", at(8, 5));
    morning.leaveUnpaid({{"糖", "0.5", "1"}}, at(9, 0));
    const CloseMark firstShift{morning.salesTable(), 2};
    const std::string after = morning.pay({{"茶", "2.5", "2"}}, "现金", at(12, 0));
    morning.write();
    TillRun afternoon = run(at(14, 0));
    afternoon.pay({{"米", "10", "1"}}, "银行卡", at(14, 5));
    afternoon.leaveUnpaid({{"盐", "1", "1"}}, at(18, 0));
    afternoon.write();

    const DayFigures f = figures(firstShift);
    EXPECT_EQ(f.sales, 2);
    EXPECT_EQ(f.of(PaymentMethod::Cash).sales, 500);
    EXPECT_EQ(f.of(PaymentMethod::Card).sales, 1000);
    EXPECT_EQ(f.unpaidLines, 1);
    EXPECT_EQ(f.unpaidAmount, 100);
    EXPECT_EQ(f.firstReceipt, after);
    EXPECT_EQ(figures(f.end).sales, 0) << "a third close right after has nothing";
    EXPECT_EQ(figures(f.end).end, f.end) << "and ends where the second did";
}

// A day of 10,000 sales of 19.99 x 3 over 20 runs, the methods in turn: a
// float running sum drifts by whole yuan over such a day.
TEST_F(DayFiguresTest, ADayOfTenThousandSales) {
    const char* methods[] = {"现金", "微信", "支付宝", "银行卡"};
    for (int r = 0; r < 20; ++r) {
        TillRun till = run(at(6 + r / 2, (r % 2) * 30));
        for (int s = 0; s < 500; ++s)
            till.pay({{"茶", "19.99", "3"}}, methods[s % 4], at(6 + r / 2, (r % 2) * 30 + 1));
        till.write();
    }
    const DayFigures f = figures();
    EXPECT_EQ(f.sales, 10000);
    EXPECT_EQ(f.salesTotal, 10000 * 5997);  // 599,700.00 yuan
    for (const PaymentMethod m : checkout::kPaymentMethods)
        EXPECT_EQ(f.of(m).sales, 2500 * 5997) << checkout::methodText(m);
    EXPECT_EQ(f.firstReceipt, "01-20261210-0001");
    EXPECT_EQ(f.lastReceipt, "01-20261210-10000");
}

}  // namespace
}  // namespace shop::test
