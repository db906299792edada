// The figures of a day close, summed in whole fen from the texts the tables
// hold: sales and refunds by payment method from their tickets' totals (what
// was paid), the lines an exit recorded with no payment from their price and
// quantity, the first and last receipt, and where the close ends so that the
// next close of the same day (a shift change) starts after it.
#pragma once

#include <array>
#include <iterator>
#include <optional>
#include <string>

#include "checkout/finished_sale.h"
#include "checkout/money.h"
#include "day_records.h"

namespace shop::dayclose {

using checkout::Fen;

// The end of what a close covers: its sales table and how many records that
// table held. A record or ticket lies after it when its run started later,
// or in the same table past that record.
struct CloseMark {
    std::string salesTable;  // file name; empty: nothing read yet
    int records = 0;
    friend bool operator==(const CloseMark&, const CloseMark&) = default;
};

struct MethodTakings {
    Fen sales = 0;    // what sales took in by this method
    Fen refunds = 0;  // what refunds gave back by it, as a positive amount
    Fen net() const { return checkout::plusSaturated(sales, -refunds); }
};

struct DayFigures {
    int sales = 0;    // tickets of sales
    int refunds = 0;  // tickets of refunds
    // By method, in kPaymentMethods order: 现金, 微信, 支付宝, 银行卡.
    std::array<MethodTakings, std::size(checkout::kPaymentMethods)> byMethod{};
    Fen salesTotal = 0;
    Fen refundTotal = 0;
    // Sales-table lines no ticket covers: what an exit recorded unpaid.
    int unpaidLines = 0;
    Fen unpaidAmount = 0;
    std::string firstReceipt, lastReceipt;  // empty when no ticket is covered
    CloseMark end;                          // where this close ends

    const MethodTakings& of(checkout::PaymentMethod m) const {
        return byMethod[static_cast<std::size_t>(m)];
    }
    Fen netTotal() const { return checkout::plusSaturated(salesTotal, -refundTotal); }
};

// price x quantity of one sales record, as every total of the shop reads
// them ("12元" x "3" is 3600 fen; a refund's negative quantity gives a
// negative amount).
Fen lineAmount(const std::string& price, const std::string& quantity);

// The figures of `day` over the runs read, counting only what lies after
// `after` (the end of the day's last close, if any).
DayFigures dayFigures(const DayRecords& records, const storage::Moment& day,
                      const std::optional<CloseMark>& after);

}  // namespace shop::dayclose
