#include "refund_model.h"

#include "storage/date_text.h"
#include "storage/text.h"

namespace shop::refunds {

using checkout::CheckoutOutcome;
using checkout::Fen;

const char* const kTooManyText = "退货数量超过小票所售数量";

namespace {

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace

RefundModel::RefundModel(checkout::SaleModel& sale, std::string runDir)
    : m_sale(sale), m_runDir(std::move(runDir)) {}

LookupOutcome RefundModel::lookUp(const std::string& receipt) {
    m_receipt = trimmed(receipt);
    m_lookup = lookUpReceipt(m_runDir, m_receipt, m_sale.pending());
    m_chosen.assign(m_lookup.lines.size(), 0);
    return m_lookup.outcome;
}

bool RefundModel::choose(std::size_t index, int quantity) {
    if (index >= m_lookup.lines.size() || quantity < 0 || quantity > m_lookup.lines[index].left())
        return false;
    m_chosen[index] = quantity;
    return true;
}

Fen RefundModel::amount() const {
    Fen total = 0;
    for (std::size_t i = 0; i < m_chosen.size(); ++i)
        total = checkout::plusSaturated(
            total, checkout::timesSaturated(checkout::fenFromText(m_lookup.lines[i].row.price),
                                            m_chosen[i]));
    return total;
}

RefundResult RefundModel::confirm(const std::string& cashier, const storage::Moment& now) {
    RefundResult result;
    if (m_lookup.outcome != LookupOutcome::Found) return result;
    const std::vector<int> chosen = m_chosen;
    // The tables decide, not what was read when the receipt was shown.
    if (lookUp(m_receipt) != LookupOutcome::Found) return result;
    m_chosen = chosen;
    std::vector<checkout::SaleLine> lines;
    const std::string moment = storage::dateText(now);
    for (std::size_t i = 0; i < m_chosen.size(); ++i) {
        const ReceiptLine& line = m_lookup.lines[i];
        if (m_chosen[i] > line.left()) {
            result.outcome = RefundOutcome::TooMany;
            return result;
        }
        if (m_chosen[i] > 0)
            lines.push_back(
                {{line.row.name, line.row.price, std::to_string(-m_chosen[i]), moment}, -1});
    }
    if (lines.empty()) {
        result.outcome = RefundOutcome::NothingChosen;
        return result;
    }
    const checkout::Payment payment{
        checkout::methodFromText(m_lookup.ticket.method).value_or(checkout::PaymentMethod::Cash),
        cashier, now};
    result.stored = m_sale.refund(std::move(lines), m_receipt, payment);
    const bool taken = result.stored.outcome == CheckoutOutcome::Finished ||
                       result.stored.outcome == CheckoutOutcome::Pending;
    result.outcome = taken ? RefundOutcome::Refunded : RefundOutcome::NotStored;
    if (taken) lookUp(m_receipt);
    return result;
}

std::vector<std::string> RefundModel::salesOfDay(const storage::Moment& day) const {
    return refunds::salesOfDay(m_runDir, day);
}

std::string lookupText(const ReceiptLookup& lookup) {
    switch (lookup.outcome) {
        case LookupOutcome::Found:
            return {};
        case LookupOutcome::NotAReceiptNumber:
            return "小票编号应形如 01-20261209-0007";
        case LookupOutcome::NotFound:
            return "找不到这张小票";
        case LookupOutcome::IsARefund:
            return "这是一张退货小票，不能再退货";
        case LookupOutcome::Unreadable:
            return "无法读取 " + lookup.unreadable + "，暂不能退货";
    }
    return {};
}

std::string refundText(const RefundResult& result, const ReceiptLookup& lookup) {
    const std::string& failure = result.stored.failure;
    switch (result.outcome) {
        case RefundOutcome::NothingChosen:
            return "请填写要退的数量";
        case RefundOutcome::TooMany:
            return kTooManyText;
        case RefundOutcome::NoReceipt:
            return lookupText(lookup);
        case RefundOutcome::Refunded:
            if (result.stored.outcome == CheckoutOutcome::Pending)
                return "已退货，但" + failure + "；程序会在下次收款、退出或下次启动时再存";
            return {};
        case RefundOutcome::NotStored:
            break;
    }
    switch (result.stored.outcome) {
        case CheckoutOutcome::EarlierPending:
            return "上一笔收款尚未存好（" + failure + "），本次未退货，请稍后再试";
        case CheckoutOutcome::NoReceiptNumber:
            return failure + "。本次未退货";
        case CheckoutOutcome::Unstorable:
            return "小票中有内容过长、无法保存的行，本次未退货";
        default:
            return "本次未退货";
    }
}

}  // namespace shop::refunds
