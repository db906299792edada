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

// The four input texts of one press of the pay button.
struct PayPress {
    std::string number, time, name, amount;
};

enum class PayOutcome {
    Nothing,        // no table and no name, or the rules ask for nothing
    Incomplete,     // "不能为空"
    AmountRefused,  // the amount is no amount of money (salary_amount.h)
    NotStored,      // the table could not be made or opened: nothing stored
    AmountFailed,   // as appendPayment
    DateFailed,     // as appendPayment
    Stored,         // the payment is the table's last record
};

// One press of the pay button for the salary table at `tablePath`: checks
// the inputs, creates the table on the first payment for a name, and stores
// the payment (the amount without the blanks around it) in the same press.
// No table is left open.
PayOutcome pay(const std::string& tablePath, const PayPress& press);

}  // namespace shop::salary
