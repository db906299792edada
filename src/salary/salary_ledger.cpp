#include "salary_ledger.h"

#include "storage/table.h"

namespace shop::salary {

namespace st = shop::storage;

std::vector<Payment> readPayments() {
    std::vector<Payment> payments;
    st::skip(1 - st::position());  // from the first record, wherever the cursor stood
    const int count = st::recordCount();
    payments.reserve(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k) {
        payments.push_back({st::readText(1), st::readText(2)});
        st::skip(1);
    }
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
