#include "receipt_figures.h"

#include "checkout/finished_sale.h"
#include "checkout/money.h"
#include "storage/text.h"

namespace shop::receipts {

namespace {

QString money(checkout::Fen fen) { return QString::fromStdString(checkout::yuanText(fen) + "元"); }

}  // namespace

ReceiptGoods receiptGoods(const std::vector<checkout::SaleRow>& rows) {
    ReceiptGoods goods;
    for (const checkout::SaleRow& row : rows) {
        // Read as the till totals them, so the lines add up to its total.
        const checkout::Fen price = checkout::fenFromText(row.price);
        goods.names << QString::fromStdString(row.name);
        goods.quantities << QString::fromStdString(row.quantity);
        goods.prices << money(price);
        goods.amounts << money(checkout::timesSaturated(price, storage::leadingInt(row.quantity)));
    }
    return goods;
}

ReceiptPayment receiptPayment(const checkout::FinishedSale& sale) {
    return {money(sale.total),
            money(sale.tendered),
            money(sale.change),
            QString::fromStdString(checkout::methodText(sale.method)),
            QString::fromStdString(sale.receipt),
            QString::fromStdString(sale.moment)};
}

QString changeBeforePayment(const QString& changeLabel) {
    return checkout::fenFromText(changeLabel.toStdString()) < 0 ? QString() : changeLabel;
}

}  // namespace shop::receipts
