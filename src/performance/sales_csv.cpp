#include "sales_csv.h"

#include "sale_line.h"
#include "storage/csv.h"
#include "storage/date_text.h"
#include "storage/money.h"
#include "storage/text.h"

namespace shop::performance {

namespace {

const std::string kBom = "\xEF\xBB\xBF";

// Stored texts first, each through the CSV rule, then computed numbers as
// they are.
void appendLine(std::string& out, const std::vector<std::string>& texts,
                const std::vector<std::string>& numbers = {}) {
    bool first = true;
    for (const std::string& cell : texts) {
        if (!first) out += ',';
        out += storage::csvCell(cell);
        first = false;
    }
    for (const std::string& cell : numbers) {
        if (!first) out += ',';
        out += cell;
        first = false;
    }
    out += "\r\n";
}

std::string totalsCaption(const std::string& caption, const std::vector<std::string>& unreadable) {
    return unreadable.empty() ? caption : caption + "（不完整）";
}

void appendUnreadable(std::string& out, const std::vector<std::string>& unreadable) {
    if (unreadable.empty()) return;
    std::string names;
    for (const std::string& name : unreadable) names += (names.empty() ? "" : "、") + name;
    appendLine(out, {"无法读取的销售表：" + names});
}

}  // namespace

std::string salesCsv(const std::vector<SalesRow>& rows, const SalesTotals& totals,
                     const std::vector<std::string>& unreadable) {
    std::string out = kBom;
    appendLine(out, {std::begin(kSalesCaptions), std::end(kSalesCaptions)},
               {"单价", "数量", "金额"});
    long long quantity = 0;
    std::int64_t amount = 0;
    for (const SalesRow& row : rows) {
        const SaleLine line = saleLine(row);
        quantity += line.quantity;
        amount = storage::plusFen(amount, line.amountFen);
        appendLine(out, {row.begin(), row.end()},
                   {storage::fenText(line.unitFen), std::to_string(line.quantity),
                    storage::fenText(line.amountFen)});
    }
    appendLine(out,
               {totalsCaption("合计 " + storage::numberText(totals.count) + " 笔", unreadable)},
               {storage::numberText(totals.revenue), storage::numberText(totals.quantity), "", "",
                std::to_string(quantity), storage::fenText(amount)});
    appendUnreadable(out, unreadable);
    return out;
}

std::string rankingCsv(const SalesRanking& ranking, const std::vector<std::string>& unreadable) {
    std::string out = kBom;
    appendLine(out,
               {"排名", "商品名称", "销售数量", "数量占比", "销售金额", "金额占比", "销售笔数"});
    int rank = 0;
    for (const RankedGoods& goods : ranking.goods) {
        appendLine(
            out, {std::to_string(++rank), goods.name},
            {std::to_string(goods.quantity), shareText(goods.quantity, ranking.totalQuantity),
             storage::fenText(goods.revenueFen),
             shareText(goods.revenueFen, ranking.totalRevenueFen), std::to_string(goods.lines)});
    }
    int lines = 0;
    for (const RankedGoods& goods : ranking.goods) lines += goods.lines;
    appendLine(out, {totalsCaption("合计", unreadable), ""},
               {std::to_string(ranking.totalQuantity), "",
                storage::fenText(ranking.totalRevenueFen), "", std::to_string(lines)});
    appendUnreadable(out, unreadable);
    return out;
}

std::string dailyCsv(const DailySales& daily, const std::vector<std::string>& unreadable) {
    std::string out = kBom;
    appendLine(out, {"日期", "销售金额", "销售数量", "销售笔数"});
    const auto line = [&out](const std::string& caption, const DaySales& day) {
        appendLine(out, {caption},
                   {storage::fenText(day.revenueFen), std::to_string(day.quantity),
                    std::to_string(day.lines)});
    };
    DaySales total;
    for (const DaySales& day : daily.days) {
        line(storage::datePartText(storage::fromDayNumber(day.day)), day);
        total.quantity += day.quantity;
        total.lines += day.lines;
    }
    if (daily.undated.lines > 0) line("日期不明", daily.undated);
    total.revenueFen = daily.totalRevenueFen;
    total.quantity += daily.undated.quantity;
    total.lines += daily.undated.lines;
    line(totalsCaption("合计", unreadable), total);
    appendUnreadable(out, unreadable);
    return out;
}

}  // namespace shop::performance
