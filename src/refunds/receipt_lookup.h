// Finding a finished sale by its receipt number for 退货: its ticket, the
// lines it sold, and what earlier refunds against it already took back,
// across every run's ticket table and the refunds still waiting in a journal.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "checkout/finished_sale.h"
#include "checkout/ticket_table.h"
#include "storage/date_text.h"

namespace shop::refunds {

// One line of the receipt: what it sold and what has come back of it.
struct ReceiptLine {
    checkout::SaleRow row;  // as the sales table holds it
    int sold = 0;           // the quantity sold
    int refunded = 0;       // taken back by earlier refunds
    int left() const { return sold - refunded; }
};

enum class LookupOutcome {
    Found,
    NotAReceiptNumber,  // the text is no receipt number
    NotFound,           // no ticket table holds it
    IsARefund,          // the number is that of a refund
    Unreadable,         // a table it needs cannot be read: nothing may be refunded
};

struct ReceiptLookup {
    LookupOutcome outcome = LookupOutcome::NotFound;
    checkout::Ticket ticket;  // Found, IsARefund
    std::vector<ReceiptLine> lines;
    std::string unreadable;  // the table that could not be read
};

// Looks up `receipt` among the ticket tables of `runDir`. Refunds against it
// count from every table, from the journals left in the run folder, and from
// `pending` (a refund the running till has not stored yet); one that is in
// a table and in a journal counts once.
ReceiptLookup lookUpReceipt(const std::string& runDir, const std::string& receipt,
                            const std::optional<checkout::FinishedSale>& pending = {});

// The receipt numbers of the sales (not the refunds) of `day`, in the order
// they were taken.
std::vector<std::string> salesOfDay(const std::string& runDir, const storage::Moment& day);

}  // namespace shop::refunds
