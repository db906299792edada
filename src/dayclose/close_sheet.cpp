#include "close_sheet.h"

namespace shop::dayclose {

namespace ck = shop::checkout;

std::string yuan(Fen fen) { return ck::yuanText(fen) + "元"; }

std::string receiptSpan(const DayFigures& figures) {
    if (figures.firstReceipt.empty()) return "无";
    if (figures.firstReceipt == figures.lastReceipt) return figures.firstReceipt;
    return figures.firstReceipt + " 至 " + figures.lastReceipt;
}

std::vector<TakingsRow> takingsRows(const DayFigures& figures) {
    std::vector<TakingsRow> rows;
    for (const ck::PaymentMethod m : ck::kPaymentMethods) {
        const MethodTakings& t = figures.of(m);
        rows.push_back({ck::methodText(m), yuan(t.sales), yuan(t.refunds), yuan(t.net())});
    }
    rows.push_back(
        {"合计", yuan(figures.salesTotal), yuan(figures.refundTotal), yuan(figures.netTotal())});
    return rows;
}

std::string differenceText(Fen difference) {
    const char* verdict = difference < 0 ? "（短款）" : difference > 0 ? "（长款）" : "（相符）";
    return yuan(difference) + verdict;
}

std::string unpaidText(const DayFigures& figures) {
    if (figures.unpaidLines == 0) return "无";
    return std::to_string(figures.unpaidLines) + " 行，共 " + yuan(figures.unpaidAmount);
}

std::vector<Captioned> closeHead(const CloseRecord& r) {
    return {{"日期", r.day},
            {"时间", r.moment},
            {"收银员", r.cashier},
            {"首张小票", r.figures.firstReceipt.empty() ? "无" : r.figures.firstReceipt},
            {"末张小票", r.figures.lastReceipt.empty() ? "无" : r.figures.lastReceipt},
            {"销售笔数", std::to_string(r.figures.sales)},
            {"退货笔数", std::to_string(r.figures.refunds)}};
}

std::vector<Captioned> closeFoot(const CloseRecord& r) {
    return {{"退出时未收款", unpaidText(r.figures)},    {"备用金", yuan(r.openingFloat)},
            {"应有现金", yuan(r.expectedCash)},         {"实点现金", yuan(r.countedCash)},
            {"现金差额", differenceText(r.difference)}, {"备注", r.note.empty() ? "无" : r.note}};
}

}  // namespace shop::dayclose
