#include "stock_changes.h"

#include <charconv>
#include <map>
#include <optional>

#include "storage/table.h"
#include "storage/table_visit.h"
#include "storage/text.h"

namespace shop::checkout {

namespace st = shop::storage;

namespace {

constexpr int kNameField = 1, kStockField = 3;

std::optional<long long> plainInt(const std::string& text) {
    long long value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end) return std::nullopt;
    return value;
}

std::optional<std::vector<std::vector<std::string>>> productRows(const std::string& path) {
    const std::string current = st::currentPath();
    std::optional<std::vector<std::vector<std::string>>> rows;
    {
        st::TableVisit visit(path, true);
        if (visit.opened()) rows = st::readTextRowsChecked(kStockField);
    }
    if (!current.empty()) st::select(current);
    return rows;
}

// The 0-based record the line's goods are in, or -1.
int recordOf(const std::vector<std::vector<std::string>>& rows, const SaleLine& line) {
    const auto& name = line.row.name;
    if (line.goodsPosition >= 0 && static_cast<std::size_t>(line.goodsPosition) < rows.size() &&
        rows[static_cast<std::size_t>(line.goodsPosition)][0] == name)
        return line.goodsPosition;
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (rows[i][0] == name) return static_cast<int>(i);
    return -1;
}

}  // namespace

StockPlan planStock(const std::string& productPath, const std::vector<SaleLine>& lines) {
    StockPlan plan;
    const auto rows = productRows(productPath);
    if (!rows) {
        plan.notes.push_back("产品表无法读取，库存未变：" + productPath);
        return plan;
    }
    std::map<int, long long> sold;  // record -> quantity, in record order
    for (const SaleLine& line : lines) {
        const int record = recordOf(*rows, line);
        if (record < 0) {
            plan.notes.push_back("未找到商品，库存未变：" + line.row.name);
            continue;
        }
        sold[record] += st::leadingInt(line.row.quantity);
    }
    for (const auto& [record, quantity] : sold) {
        const auto& row = (*rows)[static_cast<std::size_t>(record)];
        const std::string& before = row[kStockField - 1];
        const auto stock = plainInt(before);
        if (!stock) {
            plan.notes.push_back("库存不是整数，未变：" + row[0] + "（" + before + "）");
            continue;
        }
        const long long after = *stock - quantity;
        if (after < 0)
            plan.notes.push_back("库存不足：" + row[0] + " 库存为 " + std::to_string(after));
        plan.changes.push_back({record + 1, row[0], before, std::to_string(after)});
    }
    return plan;
}

}  // namespace shop::checkout
