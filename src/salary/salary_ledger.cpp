#include "salary_ledger.h"

#include <filesystem>
#include <system_error>

#include "salary_amount.h"
#include "storage/schemas.h"
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

PayOutcome pay(const std::string& tablePath, const PayPress& press) {
    std::error_code error;
    const bool exists = std::filesystem::symlink_status(tablePath, error).type() !=
                        std::filesystem::file_type::not_found;
    if (!exists && press.name.empty()) return PayOutcome::Nothing;
    switch (judgePress(press.number, press.time, press.name, press.amount)) {
        case PressOutcome::Nothing:
            return PayOutcome::Nothing;
        case PressOutcome::Incomplete:
            return PayOutcome::Incomplete;
        case PressOutcome::Store:
            break;
    }
    const std::optional<std::string> amount = salaryAmount(press.amount);
    if (!amount) return PayOutcome::AmountRefused;
    // The first payment for a name makes its table; the payment goes in at
    // once, so nothing the user typed is dropped.
    if (!exists && !st::create(tablePath, st::schemas::salary())) return PayOutcome::NotStored;
    const st::TableVisit table(tablePath);
    if (!table.opened()) return PayOutcome::NotStored;
    switch (appendPayment({press.time, *amount})) {
        case PaymentResult::AmountFailed:
            return PayOutcome::AmountFailed;
        case PaymentResult::DateFailed:
            return PayOutcome::DateFailed;
        case PaymentResult::Stored:
            return PayOutcome::Stored;
    }
    return PayOutcome::NotStored;
}

}  // namespace shop::salary
