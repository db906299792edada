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

std::string unpaidText(const DayFigures& figures) {
    if (figures.unpaidLines == 0) return "无";
    return std::to_string(figures.unpaidLines) + " 行，共 " + yuan(figures.unpaidAmount);
}

std::vector<Captioned> closeHead(const CloseRecord& r) {
    return {{"日期", r.day},
            {"时间", r.moment},
            {"收银员", r.cashier},
            {"小票", receiptSpan(r.figures)},
            {"销售笔数", std::to_string(r.figures.sales)},
            {"退货笔数", std::to_string(r.figures.refunds)}};
}

std::vector<Captioned> closeFoot(const CloseRecord& r) {
    return {{"退出时未收款", unpaidText(r.figures)}, {"备用金", yuan(r.openingFloat)},
            {"应有现金", yuan(r.expectedCash)},      {"实点现金", yuan(r.countedCash)},
            {"现金差额", yuan(r.difference)},        {"备注", r.note.empty() ? "无" : r.note}};
}

}  // namespace shop::dayclose
