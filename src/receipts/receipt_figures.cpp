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
    const QString method = QString::fromStdString(checkout::methodText(sale.method));
    const QString number = QString::fromStdString(sale.receipt);
    ReceiptPayment p{
        money(sale.total), money(sale.change), QString::fromStdString(sale.moment), {}, {}};
    if (sale.original.empty()) {
        p.captions = {QStringLiteral("实收金额；"), QStringLiteral("付款方式；"),
                      QStringLiteral("小票号；")};
        p.values = {money(sale.tendered), method, number};
    } else {
        // A refund's lines and total are negative, as stored; what the
        // customer gets back reads as the amount it is.
        p.captions = {QStringLiteral("退款金额；"), QStringLiteral("退款方式；"),
                      QStringLiteral("小票号；"), QStringLiteral("原小票号；")};
        p.values = {money(-sale.tendered), method, number, QString::fromStdString(sale.original)};
    }
    return p;
}

QString changeBeforePayment(const QString& changeLabel) {
    return checkout::fenFromText(changeLabel.toStdString()) < 0 ? QString() : changeLabel;
}

}  // namespace shop::receipts
