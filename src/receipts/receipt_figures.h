// The figures a receipt shows, worked out from what it is a receipt of: the
// rows of an open list, or a sale finished at 收款. Each goods line gets its
// unit price and its amount; a finished sale also its payment and number.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "checkout/sale_recording.h"

namespace shop::checkout {
struct FinishedSale;
}

namespace shop::receipts {

// The goods columns, one entry per line: name and quantity as sold, the unit
// price and the line's amount (price x quantity) as money texts ("2.5元").
struct ReceiptGoods {
    QStringList names, quantities, prices, amounts;
};
ReceiptGoods receiptGoods(const std::vector<checkout::SaleRow>& rows);

// What a finished sale shows beyond its lines: its total and change in the
// footer, its moment, and the lines under the footer, caption and value: for
// a sale the amount tendered, the method and the receipt number; for a refund
// the amount paid back, the method, its own number and the original's.
struct ReceiptPayment {
    QString total, change;  // "19.5元"
    QString time;           // the moment of 收款 (or 退货), as date text
    QStringList captions, values;
};
ReceiptPayment receiptPayment(const checkout::FinishedSale& sale);

// The change a receipt made before payment shows, from the till's change
// label: nothing while it is negative, for no customer is owed that.
QString changeBeforePayment(const QString& changeLabel);

}  // namespace shop::receipts
