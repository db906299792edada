// 退货 without a window: the receipt looked up, the quantities the cashier
// takes back of each of its lines, and the refund stored through the
// checkout's sale model, which numbers, journals and lands it as it does a
// sale. Nothing is taken back twice or beyond what the receipt sold.
#pragma once

#include <string>
#include <vector>

#include "checkout/money.h"
#include "checkout/sale_model.h"
#include "refunds/receipt_lookup.h"

namespace shop::refunds {

enum class RefundOutcome {
    Refunded,       // in every table (or waiting in the journal: stored.outcome says)
    NothingChosen,  // no quantity to take back
    TooMany,        // more than the receipt has left of a line
    NoReceipt,      // the receipt does not look up (lookup() says why)
    NotStored,      // the sale model did not take it (stored.outcome says why)
};

struct RefundResult {
    RefundOutcome outcome = RefundOutcome::NoReceipt;
    checkout::CheckoutResult stored;
};

// "退货数量超过小票所售数量".
extern const char* const kTooManyText;

class RefundModel {
public:
    RefundModel(checkout::SaleModel& sale, std::string runDir);

    // Looks `receipt` up afresh (blanks around it do not count); every
    // quantity to take back starts at 0.
    LookupOutcome lookUp(const std::string& receipt);
    const ReceiptLookup& lookup() const { return m_lookup; }
    const std::string& receipt() const { return m_receipt; }
    const std::vector<int>& chosen() const { return m_chosen; }

    // How many of line `index` come back; false (nothing changes) for a
    // quantity below 0 or beyond what is left of the line.
    bool choose(std::size_t index, int quantity);
    // The money paid back for the chosen quantities.
    checkout::Fen amount() const;

    // Stores the refund, after checking the receipt once more against the
    // tables; then looks the receipt up again.
    RefundResult confirm(const std::string& cashier, const storage::Moment& now);

    // The day's sale receipts to pick from.
    std::vector<std::string> salesOfDay(const storage::Moment& day) const;

private:
    checkout::SaleModel& m_sale;
    std::string m_runDir;
    std::string m_receipt;
    ReceiptLookup m_lookup;
    std::vector<int> m_chosen;
};

// What the cashier is told of a lookup that found no sale to refund, and of
// a refund not (or not yet wholly) stored; empty when there is nothing to say.
std::string lookupText(const ReceiptLookup& lookup);
std::string refundText(const RefundResult& result, const ReceiptLookup& lookup);

}  // namespace shop::refunds
