#include "sales_csv.h"

#include "storage/csv.h"
#include "storage/text.h"

namespace shop::performance {

namespace {

template <typename Cells>
void appendLine(std::string& out, const Cells& cells) {
    bool first = true;
    for (const auto& cell : cells) {
        if (!first) out += ',';
        out += storage::csvCell(cell);
        first = false;
    }
    out += "\r\n";
}

}  // namespace

std::string salesCsv(const std::vector<SalesRow>& rows, const SalesTotals& totals) {
    std::string out = "\xEF\xBB\xBF";
    appendLine(out, std::vector<std::string>(std::begin(kSalesCaptions), std::end(kSalesCaptions)));
    for (const SalesRow& row : rows) appendLine(out, row);
    appendLine(out, SalesRow{"合计 " + storage::numberText(totals.count) + " 笔",
                             storage::numberText(totals.revenue),
                             storage::numberText(totals.quantity), ""});
    return out;
}

}  // namespace shop::performance
