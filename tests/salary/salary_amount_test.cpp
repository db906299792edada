// What counts as an amount of salary: positive money in yuan, at most two
// decimals, at most seven whole digits.
#include "salary/salary_amount.h"

#include <gtest/gtest.h>

namespace shop::salary {
namespace {

TEST(SalaryAmount, TakesPositiveMoneyWithAtMostTwoDecimals) {
    const struct {
        const char* typed;
        const char* stored;  // nullptr: refused
    } cases[] = {
        {"3000", "3000"},
        {"2500.5", "2500.5"},
        {"1800.25", "1800.25"},
        {"0.01", "0.01"},
        {"  3000 ", "3000"},  // the blanks around it go
        {"0500", "0500"},
        {"9999999.99", "9999999.99"},
        {"0009999999", "0009999999"},  // leading zeros are no digits of the amount
        {"10000000", nullptr},
        {"99999999999999999999", nullptr},
        {"abc", nullptr},
        {"-500", nullptr},
        {"+500", nullptr},
        {"0", nullptr},
        {"0.00", nullptr},
        {"", nullptr},
        {" ", nullptr},
        {"12.345", nullptr},
        {"12.", nullptr},
        {".5", nullptr},
        {"1,000", nullptr},
        {"3000元", nullptr},
        {"1e3", nullptr},
        {"30 00", nullptr},
        {"１２", nullptr},  // full-width digits
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        const std::optional<std::string> amount = salaryAmount(c.typed);
        if (c.stored) {
            ASSERT_TRUE(amount.has_value());
            EXPECT_EQ(*amount, c.stored);
        } else {
            EXPECT_FALSE(amount.has_value()) << *amount;
        }
    }
}

}  // namespace
}  // namespace shop::salary
