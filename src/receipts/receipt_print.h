// The receipt on paper: the header, time, goods lines, total, change and (for
// a paid sale) payment and number that the receipt window shows, drawn with
// the receipt's CJK font onto a printer page or into a PDF file (the PDF
// embeds the glyphs it draws with).
#pragma once

#include <QString>
#include <QStringList>

class QPagedPaintDevice;

namespace shop::receipts {

struct ReceiptContent {
    QString shopName, cashier, machine, time;
    // The goods lines, one entry per line in each column: quantity, unit
    // price (金额) and line amount (小计).
    QStringList names, quantities, prices, amounts;
    // The footer: the shop name it repeats, address, total, change.
    QString footerShop, address, total, change;
    // A finished sale's lines under the footer, caption and value (the
    // tendered amount, method, receipt number...); none before payment.
    QStringList paymentCaptions, paymentValues;
};

// Draws the receipt from the top left of the device's page, 80 mm wide as a
// till slip, going on to a new page when the goods lines outgrow one.
// False when the device cannot be painted on (an unwritable PDF file, a
// printer that refused the job).
bool renderReceipt(QPagedPaintDevice& device, const ReceiptContent& receipt);

// The receipt as a PDF of one slip-sized page, as long as the receipt needs.
bool writeReceiptPdf(const QString& path, const ReceiptContent& receipt);

}  // namespace shop::receipts
