#include "finished_sale.h"

#include <charconv>
#include <limits>

#include "checkout/open_sale.h"

namespace shop::checkout {

namespace {

constexpr std::string_view kMethodTexts[] = {"现金", "微信", "支付宝", "银行卡"};

void putNumber(std::string& out, long long value) {
    putText(out, std::to_string(value));
    out += ' ';
}

template <typename T>
bool readNumber(TextReader& in, T& value) {
    const auto text = in.text();
    if (!text || !in.literal(" ")) return false;
    long long v = 0;
    const auto [end, ec] = std::from_chars(text->data(), text->data() + text->size(), v);
    if (ec != std::errc() || end != text->data() + text->size()) return false;
    if (v < std::numeric_limits<T>::min() || v > std::numeric_limits<T>::max()) return false;
    value = static_cast<T>(v);
    return true;
}

bool readText(TextReader& in, std::string& value) {
    auto text = in.text();
    if (!text || !in.literal(" ")) return false;
    value = std::move(*text);
    return true;
}

}  // namespace

std::string methodText(PaymentMethod method) {
    return std::string(kMethodTexts[static_cast<int>(method)]);
}

std::optional<PaymentMethod> methodFromText(std::string_view text) {
    for (const PaymentMethod m : kPaymentMethods)
        if (kMethodTexts[static_cast<int>(m)] == text) return m;
    return std::nullopt;
}

std::string encodeFinishedSale(const FinishedSale& sale) {
    std::string out;
    for (const std::string* text : {&sale.receipt, &sale.original, &sale.salesTable}) {
        putText(out, *text);
        out += ' ';
    }
    putNumber(out, sale.firstRecord);
    putNumber(out, sale.total);
    putNumber(out, sale.tendered);
    putNumber(out, sale.change);
    for (const std::string& text : {methodText(sale.method), sale.cashier, sale.moment}) {
        putText(out, text);
        out += ' ';
    }
    putNumber(out, static_cast<long long>(sale.lines.size()));
    out += '\n';
    for (const SaleLine& line : sale.lines) {
        putNumber(out, line.goodsPosition);
        putRow(out, line.row);
    }
    putNumber(out, static_cast<long long>(sale.stock.size()));
    out += '\n';
    for (const StockChange& change : sale.stock) {
        putNumber(out, change.record);
        for (const std::string* text : {&change.name, &change.before, &change.after}) {
            putText(out, *text);
            out += ' ';
        }
        out += '\n';
    }
    return out;
}

std::optional<FinishedSale> decodeFinishedSale(std::string_view text) {
    TextReader in(text);
    FinishedSale sale;
    std::string method;
    int lines = 0, changes = 0;
    if (!readText(in, sale.receipt) || !readText(in, sale.original) ||
        !readText(in, sale.salesTable) || !readNumber(in, sale.firstRecord) ||
        !readNumber(in, sale.total) || !readNumber(in, sale.tendered) ||
        !readNumber(in, sale.change) || !readText(in, method) || !readText(in, sale.cashier) ||
        !readText(in, sale.moment) || !readNumber(in, lines) || !in.literal("\n") || lines < 0 ||
        static_cast<std::size_t>(lines) > text.size())
        return std::nullopt;
    const auto m = methodFromText(method);
    if (!m) return std::nullopt;
    sale.method = *m;
    for (int i = 0; i < lines; ++i) {
        SaleLine line;
        auto row = readNumber(in, line.goodsPosition) ? in.row() : std::nullopt;
        if (!row) return std::nullopt;
        line.row = std::move(*row);
        sale.lines.push_back(std::move(line));
    }
    if (!readNumber(in, changes) || !in.literal("\n") || changes < 0 ||
        static_cast<std::size_t>(changes) > text.size())
        return std::nullopt;
    for (int i = 0; i < changes; ++i) {
        StockChange change;
        if (!readNumber(in, change.record) || !readText(in, change.name) ||
            !readText(in, change.before) || !readText(in, change.after) || !in.literal("\n"))
            return std::nullopt;
        sale.stock.push_back(std::move(change));
    }
    if (!in.atEnd()) return std::nullopt;
    return sale;
}

}  // namespace shop::checkout
