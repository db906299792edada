// Confirming a day close: the record stored in its own table as the figures
// and the cash check were shown, never changed afterwards, the next close of
// the day starting after it with the counted cash as its float, and no close
// stored from figures that are not whole or not typed.
#include "dayclose/day_close_model.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "dayclose/close_table.h"
#include "performance/sales_fixture.h"
#include "performance/sales_query.h"
#include "till_day.h"

namespace shop::test {
namespace {

using dayclose::CloseRecord;
using dayclose::DayCloseModel;
using storage::Moment;

const Moment kDay{2026, 12, 10};
Moment at(int hour, int minute) { return {kDay.year, kDay.month, kDay.day, hour, minute, 0}; }

class DayCloseModelTest : public ::testing::Test {
protected:
    RunFolder folder;
    int sequence = 0;
    DayCloseModel model{folder.dir(), "小李"};

    TillRun run(const Moment& start) { return TillRun(folder.paths(), start, sequence); }
    std::vector<CloseRecord> stored() const {
        const auto closes = dayclose::readCloses(folder.paths().dayCloses());
        EXPECT_TRUE(closes.readable);
        return closes.closes;
    }
};

TEST_F(DayCloseModelTest, ConfirmStoresTheCloseAndTheNextShiftStartsAfterIt) {
    TillRun morning = run(at(8, 0));
    const std::string first = morning.pay({{"牛奶", "6元", "2"}}, "现金", at(8, 5));
    morning.pay({{"茶", "19.99", "3"}}, "微信", at(9, 0));
    const std::string last = morning.pay({{"牛奶", "6元", "-1"}}, "现金", at(9, 30), first);
    morning.leaveUnpaid({{"糖", "0.1", "3"}}, at(10, 0));
    morning.write();
    ASSERT_FALSE(std::filesystem::exists(folder.paths().dayCloses())) << "made at the first close";

    model.load(at(12, 0));
    EXPECT_EQ(model.carriedFloat(), std::nullopt);
    EXPECT_TRUE(model.setOpeningFloat("100"));
    EXPECT_TRUE(model.setCounted("105.5"));
    EXPECT_EQ(model.expectedCash(), 10600);  // 100 + 12 - 6
    EXPECT_EQ(model.difference(), -50);
    model.setNote("早班");
    const DayCloseModel::Confirmed done = model.confirm(at(12, 5));
    ASSERT_TRUE(done.record) << done.failure;

    const auto closes = stored();
    ASSERT_EQ(closes.size(), 1u);
    const std::vector<std::string> fields = dayclose::closeFields(closes[0]);
    EXPECT_EQ(fields, dayclose::closeFields(*done.record));
    const std::vector<std::string> expected = {"2026年12月10日",
                                               "2026年12月10日12时5分0秒",
                                               "小李",
                                               first,
                                               last,
                                               "2",
                                               "1",
                                               "12.00",
                                               "59.97",
                                               "0.00",
                                               "0.00",
                                               "71.97",
                                               "6.00",
                                               "0.00",
                                               "0.00",
                                               "0.00",
                                               "6.00",
                                               "1",
                                               "0.30",
                                               "100.00",
                                               "106.00",
                                               "105.50",
                                               "-0.50",
                                               morning.salesTable(),
                                               "4",
                                               "早班"};
    EXPECT_EQ(fields, expected);

    // The next shift: the model now shows what comes after, from the cash counted.
    EXPECT_EQ(model.figures().sales, 0);
    EXPECT_EQ(model.carriedFloat(), 10550);
    EXPECT_EQ(model.earlierCloses().size(), 1u);
    TillRun afternoon = run(at(13, 0));
    afternoon.pay({{"米", "45.8元", "1"}}, "现金", at(13, 30));
    afternoon.write();
    model.load(at(18, 0));
    EXPECT_EQ(model.figures().sales, 1);
    EXPECT_EQ(model.figures().refunds, 0);
    EXPECT_EQ(model.expectedCash(), 10550 + 4580);
    // A mistake in the first close is put right by a later one, with a note.
    ASSERT_TRUE(model.setCounted("151.3"));
    model.setNote("更正：早班少点了 0.5元");
    ASSERT_TRUE(model.confirm(at(18, 5)).record);
    const auto after = stored();
    ASSERT_EQ(after.size(), 2u);
    EXPECT_EQ(dayclose::closeFields(after[0]), expected) << "the first close is never changed";
    EXPECT_EQ(after[1].figures.sales, 1);
    EXPECT_EQ(after[1].difference, 0);
    EXPECT_EQ(after[1].note, "更正：早班少点了 0.5元");
}

TEST_F(DayCloseModelTest, NoCloseFromFiguresNotWholeOrCashNotTyped) {
    struct Case {
        const char* what;
        const char* openingFloat;
        const char* counted;
        bool damagedTickets;
        std::string blocker;
    } cases[] = {
        {"nothing counted yet", "100", "", false, "请输入实点现金"},
        {"a float that is no amount", "一百", "100", false, "备用金不是金额"},
        {"counted to a third decimal", "", "100.005", false, "实点现金不是金额"},
        {"a ticket table that cannot be read", "", "100", true,
         "有记录表无法读取，日结数字不完整，不能确认"},
        {"everything in order, no float", "", "0", false, ""},
    };
    for (const Case& c : cases) {
        RunFolder fresh;
        int seq = 0;
        TillRun till(fresh.paths(), at(8, 0), seq);
        till.pay({{"牛奶", "6元", "1"}}, "现金", at(8, 5));
        till.write();
        if (c.damagedTickets) {
            std::ofstream(fresh.paths().ticketTable(at(8, 0)), std::ios::trunc) << "not a table";
        }
        DayCloseModel m(fresh.dir(), "小李");
        m.load(at(12, 0));
        m.setOpeningFloat(c.openingFloat);
        m.setCounted(c.counted);
        EXPECT_EQ(m.confirmBlocker(), c.blocker) << c.what;
        const auto done = m.confirm(at(12, 5));
        EXPECT_EQ(done.record.has_value(), c.blocker.empty()) << c.what;
        EXPECT_EQ(dayclose::readCloses(fresh.paths().dayCloses()).closes.size(),
                  c.blocker.empty() ? 1u : 0u)
            << c.what;
    }
}

TEST_F(DayCloseModelTest, ANoteTooLongForItsFieldStoresNothing) {
    model.load(at(12, 0));
    ASSERT_TRUE(model.setCounted("0"));
    std::string note;
    for (int i = 0; i < 128; ++i) note += "错";  // 256 GBK bytes
    model.setNote(note);
    const auto done = model.confirm(at(12, 5));
    EXPECT_FALSE(done.record);
    EXPECT_EQ(done.failure, "“备注”太长，无法保存");
    EXPECT_TRUE(stored().empty());
}

// The close table lies outside the sales folder: the performance query over
// the day reads the same rows after a close, and its revenue is the close's
// takings less refunds plus the unpaid lines, to the fen.
TEST_F(DayCloseModelTest, ThePerformanceQueryNeverListsTheCloses) {
    TillRun till = run(at(8, 0));
    const std::string sale = till.pay({{"茶", "19.99", "3"}, {"笔", "1.2", "3"}}, "微信", at(8, 5));
    till.pay({{"茶", "19.99", "-1"}}, "微信", at(9, 0), sale);
    till.leaveUnpaid({{"糖", "0.1", "1"}, {"盐", "0.2", "1"}}, at(10, 0));
    till.write();
    model.load(at(12, 0));
    ASSERT_TRUE(model.setCounted("0"));
    ASSERT_TRUE(model.confirm(at(12, 5)).record);
    const dayclose::DayFigures f = stored().at(0).figures;

    const performance::SalesQueryResult result =
        performance::runSalesQuery(queryOf(folder, kDay, kDay));
    storage::closeAll();
    EXPECT_EQ(result.rows.size(), 5u);
    EXPECT_TRUE(result.complete());
    EXPECT_EQ(result.revenueFen, f.netTotal() + f.unpaidAmount);
    EXPECT_EQ(result.revenueFen, 5997 + 360 - 1999 + 30);
}

}  // namespace
}  // namespace shop::test
