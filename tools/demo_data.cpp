#include "demo_data.h"

#include <filesystem>
#include <iostream>
#include <vector>

#include "storage/date_text.h"
#include "storage/schemas.h"
#include "storage/table.h"

namespace shop::tool {

using namespace shop::storage;
using Rows = std::vector<std::vector<std::string>>;

namespace {

// The product table and the product-save table list the same goods in the
// same order, as the checkout's lookup by position needs.
const Rows kProducts = {
    {"矿泉水", "2元", "50"}, {"方便面", "4.5元", "30"}, {"牛奶", "6元", "20"},
    {"面包", "8.5元", "15"}, {"苹果", "3.2元", "40"},   {"鸡蛋", "1.2元", "60"},
};

// A code for each demo goods, so that a scan sells it; 苹果 is weighed too,
// and its scale key (goods number 00001) prices the scale's labels.
const Rows kCodes = {
    {"6901234567892", "矿泉水"}, {"6901234567908", "方便面"}, {"6901234567915", "牛奶"},
    {"6901234567922", "面包"},   {"6901234567939", "苹果"},   {"2000001", "苹果"},
    {"6901234567946", "鸡蛋"},
};

// Every employee field but the photo (field 1), in field order from 2.
const Rows kEmployees = {
    {"001", "王晓燕", "女", "28", "2022年3月1日", "群众", "收银部", "1997年5月12日", "汉族",
     "浙江杭州", "330102199705120021", "大专", "杭州职业技术学院", "杭州市下沙", "wxy0512",
     "杭州市上城区解放路12号", "13800000001", "收银员"},
    {"002", "李建国", "男", "35", "2019年7月15日", "党员", "仓储部", "1990年11月3日", "汉族",
     "江苏苏州", "320503199011030037", "本科", "苏州大学", "苏州市姑苏区", "ljg1103",
     "杭州市拱墅区湖墅南路8号", "13800000002", "仓管主管"},
    {"003", "陈静", "女", "24", "2024年9月2日", "团员", "收银部", "2001年2月20日", "汉族",
     "安徽合肥", "340104200102200048", "高中", "合肥第一中学", "合肥市蜀山区", "cj0220",
     "杭州市西湖区文三路30号", "13800000003", "收银员"},
};

// Leave requests (first day, last day, decision) and salary payments (date,
// amount), per employee name.
const std::vector<std::pair<std::string, Rows>> kLeave = {
    {"王晓燕",
     {{"2025年4月7日", "2025年4月9日", "同意"}, {"2025年6月16日", "2025年6月16日", "拒绝"}}},
    {"陈静", {{"2025年5月20日", "2025年5月22日", "同意"}}},
};
const std::vector<std::pair<std::string, Rows>> kSalary = {
    {"王晓燕", {{"2025年5月10日", "4200"}, {"2025年6月10日", "4350"}}},
    {"李建国", {{"2025年5月10日", "6800"}, {"2025年6月10日", "6800"}}},
    {"陈静", {{"2025年6月10日", "3900"}}},
};

// Appends `rows` to the table at `path`, its texts from field `firstField` on.
bool fill(const std::string& path, const Rows& rows, int firstField = 1) {
    if (!open(path)) return false;
    Batch batch;
    bool ok = true;
    for (const auto& row : rows) {
        ok = ok && appendBlank();
        for (std::size_t f = 0; f < row.size(); ++f)
            ok = ok && writeText(firstField + static_cast<int>(f), row[f]);
    }
    ok = ok && batch.commit();
    close();
    return ok;
}

// Makes the table at `path` with `fields` and `rows`, unless a file is there.
bool make(const std::string& path, const std::vector<FieldDesc>& fields, const Rows& rows) {
    if (std::filesystem::exists(path)) return true;  // never replace a shop's data
    if (create(path, fields) && fill(path, rows)) return true;
    std::cerr << "shop_table: cannot make the demo table " << path << "\n";
    return false;
}

// A morning run of today, so that the performance window's first query,
// which covers today, finds it.
Rows todaysSales(const Moment& day) {
    Rows rows;
    int minute = 5;
    for (const auto& [item, quantity] : std::vector<std::pair<int, const char*>>{
             {0, "3"}, {2, "2"}, {1, "5"}, {4, "4"}, {3, "1"}}) {
        const Moment at{day.year, day.month, day.day, 8, minute, 0};
        rows.push_back({kProducts[item][0], kProducts[item][1], quantity, dateText(at)});
        minute += 7;
    }
    return rows;
}

}  // namespace

bool fillShippedDemo(const DataPaths& paths, const std::string& path) {
    if (path == paths.product()) return fill(path, kProducts);
    if (path == paths.productSave()) {
        Rows names;
        for (const auto& p : kProducts) names.push_back({p[0]});
        return fill(path, names);
    }
    if (path == paths.barcodes()) return fill(path, kCodes);
    if (path == paths.employee()) return fill(path, kEmployees, schemas::employee_field::kNumber);
    return true;
}

bool addDemoHistory(const DataPaths& paths) {
    bool ok = true;
    for (const auto& [name, rows] : kLeave)
        ok = make(paths.leaveTable(name).value(), schemas::leave(), rows) && ok;
    for (const auto& [name, rows] : kSalary)
        ok = make(paths.salaryTable(name).value(), schemas::salary(), rows) && ok;
    const Moment today = now();
    const Moment morning{today.year, today.month, today.day, 8, 0, 0};
    return make(paths.salesTable(morning), schemas::sales(), todaysSales(today)) && ok;
}

}  // namespace shop::tool
