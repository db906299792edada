#include "salary_ledger.h"

#include "storage/table.h"
#include "storage/table_visit.h"

namespace shop::salary {

namespace st = shop::storage;

std::vector<Payment> readPayments() {
    std::vector<Payment> payments;
    for (auto& row : st::readTextRows(2)) payments.push_back({row[0], row[1]});
    return payments;
}

PaymentResult appendPayment(const Payment& payment) {
    // One batch: a payment with only its date, or only its amount, would
    // list as a payment that was never made.
    st::Batch batch;
    if (!batch.active() || !st::appendBlank()) return PaymentResult::AmountFailed;
    const bool dateStored = st::writeText(1, payment.date);
    const bool amountStored = st::writeText(2, payment.amount);
    if (!amountStored) return PaymentResult::AmountFailed;
    if (!dateStored) return PaymentResult::DateFailed;
    return batch.commit() ? PaymentResult::Stored : PaymentResult::AmountFailed;
}

PressOutcome judgePress(const std::string& number, const std::string& time, const std::string& name,
                        const std::string& amount) {
    const bool hasNumber = !number.empty(), hasTime = !time.empty(), hasName = !name.empty(),
               hasAmount = !amount.empty();
    if (hasNumber && !hasTime && !hasAmount) return PressOutcome::Incomplete;
    if (hasNumber && hasName && !hasAmount) return PressOutcome::Incomplete;
    if (!hasNumber && !hasTime && !hasAmount) return PressOutcome::Incomplete;
    if (hasNumber && hasTime && hasAmount) return PressOutcome::Store;
    return PressOutcome::Nothing;
}

}  // namespace shop::salary
