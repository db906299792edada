#include "close_record.h"

#include <charconv>

#include "storage/schemas.h"

namespace shop::dayclose {

namespace ck = shop::checkout;
namespace f = shop::storage::schemas::day_close_field;

namespace {

// Each field's position with where its value lives in a record (byMethod
// in 现金, 微信, 支付宝, 银行卡 order). One list per kind of value serves the
// writing and the reading alike.
std::vector<std::pair<int, Fen*>> moneyOf(CloseRecord& r) {
    DayFigures& d = r.figures;
    return {{f::kCashSales, &d.byMethod[0].sales},
            {f::kWeChatSales, &d.byMethod[1].sales},
            {f::kAlipaySales, &d.byMethod[2].sales},
            {f::kCardSales, &d.byMethod[3].sales},
            {f::kSalesTotal, &d.salesTotal},
            {f::kCashRefunds, &d.byMethod[0].refunds},
            {f::kWeChatRefunds, &d.byMethod[1].refunds},
            {f::kAlipayRefunds, &d.byMethod[2].refunds},
            {f::kCardRefunds, &d.byMethod[3].refunds},
            {f::kRefundTotal, &d.refundTotal},
            {f::kUnpaidAmount, &d.unpaidAmount},
            {f::kFloat, &r.openingFloat},
            {f::kExpectedCash, &r.expectedCash},
            {f::kCountedCash, &r.countedCash},
            {f::kDifference, &r.difference}};
}

std::vector<std::pair<int, int*>> countsOf(CloseRecord& r) {
    return {{f::kSales, &r.figures.sales},
            {f::kRefunds, &r.figures.refunds},
            {f::kUnpaidLines, &r.figures.unpaidLines},
            {f::kEndRecord, &r.figures.end.records}};
}

std::vector<std::pair<int, std::string*>> textsOf(CloseRecord& r) {
    return {{f::kDay, &r.day},
            {f::kMoment, &r.moment},
            {f::kCashier, &r.cashier},
            {f::kFirstReceipt, &r.figures.firstReceipt},
            {f::kLastReceipt, &r.figures.lastReceipt},
            {f::kEndTable, &r.figures.end.salesTable},
            {f::kNote, &r.note}};
}

std::optional<int> countFrom(const std::string& text) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < 0) return std::nullopt;
    return value;
}

}  // namespace

Fen expectedCash(const DayFigures& figures, Fen openingFloat) {
    return ck::plusSaturated(openingFloat, figures.of(ck::PaymentMethod::Cash).net());
}

std::vector<std::string> closeFields(const CloseRecord& record) {
    CloseRecord r = record;
    std::vector<std::string> fields(f::kCount);
    const auto at = [&](int position) -> std::string& {
        return fields[static_cast<std::size_t>(position - 1)];
    };
    for (const auto& [position, value] : moneyOf(r)) at(position) = ck::storedYuan(*value);
    for (const auto& [position, value] : countsOf(r)) at(position) = std::to_string(*value);
    for (const auto& [position, value] : textsOf(r)) at(position) = *value;
    return fields;
}

std::optional<CloseRecord> closeFromFields(const std::vector<std::string>& fields) {
    if (fields.size() != static_cast<std::size_t>(f::kCount)) return std::nullopt;
    const auto at = [&](int position) -> const std::string& {
        return fields[static_cast<std::size_t>(position - 1)];
    };
    CloseRecord r;
    for (const auto& [position, value] : moneyOf(r)) {
        const auto money = ck::parseMoney(at(position));
        if (!money) return std::nullopt;
        *value = *money;
    }
    for (const auto& [position, value] : countsOf(r)) {
        const auto count = countFrom(at(position));
        if (!count) return std::nullopt;
        *value = *count;
    }
    for (const auto& [position, value] : textsOf(r)) *value = at(position);
    return r;
}

}  // namespace shop::dayclose
