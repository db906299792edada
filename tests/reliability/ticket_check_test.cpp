// The trials' check of the ticket tables must see each fault it counts, or
// the trials' zeros prove nothing.
#include "ticket_check.h"

#include <gtest/gtest.h>

#include "checkout/ticket_table.h"
#include "storage/schemas.h"
#include "storage/table.h"
#include "support/run_folder.h"

namespace shop::test {
namespace {

using Rows = std::vector<std::vector<std::string>>;

std::vector<std::string> ticket(const std::string& receipt, const std::string& original,
                                const std::string& records) {
    return {receipt, original, "销售数据2024年3月5日14时0分0秒.edb", records, "", "", "", "",
            "",      ""};
}

TEST(TicketCheck, CountsDanglingDoubledAndOverRefundedTickets) {
    const Rows sold = {{"奶", "6", "2", "t"}, {"面", "1", "1", "t"}};
    const Rows sale = {ticket("01-20240305-0001", "", "1-2")};
    const struct {
        const char* what;
        Rows sales, tickets;
        std::size_t dangling, doubled, over;
    } cases[] = {
        {"sound",
         {sold[0], sold[1], {"奶", "6", "-2", "t"}},
         {sale[0], ticket("01-20240305-0002", "01-20240305-0001", "3-3")},
         0,
         0,
         0},
        {"past the rows", sold, {ticket("01-20240305-0001", "", "1-3")}, 1, 0, 0},
        {"the same rows twice", sold, {sale[0], ticket("01-20240305-0002", "", "2-2")}, 1, 0, 0},
        {"a number twice",
         {sold[0], sold[1], sold[0]},
         {sale[0], ticket("01-20240305-0001", "", "3-3")},
         0,
         1,
         0},
        {"more back than sold",
         {sold[0], sold[1], {"奶", "6", "-3", "t"}},
         {sale[0], ticket("01-20240305-0002", "01-20240305-0001", "3-3")},
         0,
         0,
         1},
        {"back of no sale",
         {sold[0], sold[1], {"奶", "6", "-1", "t"}},
         {sale[0], ticket("01-20240305-0002", "01-20240305-0009", "3-3")},
         0,
         0,
         1},
    };
    for (const auto& c : cases) {
        RunFolder run;
        const storage::Moment start{2024, 3, 5, 14, 0, 0};
        ASSERT_TRUE(storage::create(run.paths().salesTable(start), storage::schemas::sales()));
        writeAll(run.paths().salesTable(start), c.sales);
        ASSERT_TRUE(checkout::provideTicketTable(run.paths().ticketTable(start)));
        writeAll(run.paths().ticketTable(start), c.tickets);
        storage::closeAll();
        const TicketCheck check = checkTickets(run.dir());
        EXPECT_EQ(check.tickets, c.tickets.size()) << c.what;
        EXPECT_EQ(check.dangling, c.dangling) << c.what;
        EXPECT_EQ(check.doubled, c.doubled) << c.what;
        EXPECT_EQ(check.overRefunded, c.over) << c.what;
        EXPECT_EQ(check.unreadable, 0u) << c.what;
    }
}

}  // namespace
}  // namespace shop::test
