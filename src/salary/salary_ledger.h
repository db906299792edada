// The salary table of one employee: one record per payment, in the order the
// payments were stored. Acts on the calling thread's current table.
#pragma once

#include <string>
#include <vector>

namespace shop::salary {

struct Payment {
    std::string date;    // date text of the pay date
    std::string amount;  // as typed; never read as a number
};

// Every payment of the current table, first to last.
std::vector<Payment> readPayments();

enum class PaymentResult { Stored, AmountFailed, DateFailed };

// Appends the payment to the current table, date then amount. Either both
// fields are stored or nothing is; a failure names the amount first.
PaymentResult appendPayment(const Payment& payment);

// What a press of the pay button does with an existing salary table, from
// the four input texts (empty meaning no characters at all; blanks count).
enum class PressOutcome { Nothing, Incomplete, Store };
PressOutcome judgePress(const std::string& number, const std::string& time, const std::string& name,
                        const std::string& amount);

}  // namespace shop::salary
