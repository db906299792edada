// A finished sale (or refund) as it is stored and handed on: its lines, its
// payment, its ticket and the stock it moves. It is made whole before any
// table is written, kept in the journal until every table holds it, and then
// given to whoever takes finished sales (the receipt, later an uploader).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "checkout/money.h"
#include "checkout/sale_line.h"

namespace shop::checkout {

enum class PaymentMethod { Cash, WeChat, Alipay, Card };
inline constexpr PaymentMethod kPaymentMethods[] = {PaymentMethod::Cash, PaymentMethod::WeChat,
                                                    PaymentMethod::Alipay, PaymentMethod::Card};
// "现金", "微信", "支付宝", "银行卡".
std::string methodText(PaymentMethod method);
std::optional<PaymentMethod> methodFromText(std::string_view text);

// One product record's stock, set from `before` to `after` only while it
// still reads `before`: a sale landed twice moves the stock once.
struct StockChange {
    int record = 0;  // 1-based record of the product table
    std::string name;
    std::string before;
    std::string after;
    friend bool operator==(const StockChange&, const StockChange&) = default;
};

struct FinishedSale {
    std::string receipt;     // "01-20261209-0007"
    std::string original;    // a refund: the receipt it returns goods of; empty for a sale
    std::string salesTable;  // file name of the run's sales table
    int firstRecord = 1;     // where its lines go in that table (1-based)
    std::vector<SaleLine> lines;
    Fen total = 0;
    Fen tendered = 0;
    Fen change = 0;
    PaymentMethod method = PaymentMethod::Cash;
    std::string cashier;
    std::string moment;  // date text
    std::vector<StockChange> stock;
    friend bool operator==(const FinishedSale&, const FinishedSale&) = default;
};

// The sale as one text and back (nullopt for anything that is not one).
std::string encodeFinishedSale(const FinishedSale& sale);
std::optional<FinishedSale> decodeFinishedSale(std::string_view text);

}  // namespace shop::checkout
