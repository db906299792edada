// Storing a payment: both fields or nothing, the amount's failure named first.
#include "salary/salary_ledger.h"

#include <gtest/gtest.h>

#include "storage/schemas.h"
#include "storage/table.h"
#include "support/run_folder.h"

namespace shop::salary {
namespace {

class SalaryLedgerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(storage::create(path, storage::schemas::salary()));
        ASSERT_TRUE(storage::open(path));
    }
    test::RunFolder run;
    std::string path = *run.paths().salaryTable("张三");
};

const std::string kTooLong(256, 'x');

TEST_F(SalaryLedgerTest, AFailedFieldLeavesNoHalfPayment) {
    ASSERT_EQ(appendPayment({"2024年1月31日", "3000"}), PaymentResult::Stored);
    EXPECT_EQ(appendPayment({kTooLong, "4000"}), PaymentResult::DateFailed);
    EXPECT_EQ(appendPayment({"2024年2月29日", kTooLong}), PaymentResult::AmountFailed);
    // Both failing: the amount is named.
    EXPECT_EQ(appendPayment({kTooLong, kTooLong}), PaymentResult::AmountFailed);

    const std::vector<Payment> stored = readPayments();
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].date, "2024年1月31日");
    EXPECT_EQ(stored[0].amount, "3000");
    EXPECT_EQ(test::readAll(path).size(), 1u);
}

TEST_F(SalaryLedgerTest, ReadingStartsAtTheFirstPaymentWhereverTheCursorStands) {
    ASSERT_EQ(appendPayment({"1日", "a"}), PaymentResult::Stored);
    ASSERT_EQ(appendPayment({"2日", "b"}), PaymentResult::Stored);
    storage::skip(5);
    const std::vector<Payment> stored = readPayments();
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_EQ(stored[0].amount, "a");
    EXPECT_EQ(stored[1].amount, "b");
}

}  // namespace
}  // namespace shop::salary
