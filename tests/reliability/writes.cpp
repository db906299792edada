#include "writes.h"

#include "storage/date_text.h"
#include "storage/table.h"

namespace shop::test {

using namespace shop::storage;

namespace {

// Append blank, then the fields in position order, as every window adds a record.
bool appendRow(const std::vector<std::string>& row, int firstField = 1) {
    bool ok = appendBlank();
    for (std::size_t f = 0; f < row.size(); ++f) ok = ok && writeText(firstField + static_cast<int>(f), row[f]);
    return ok;
}

}  // namespace

bool recordSales(const std::string& salesTable, const Rows& rows) {
    if (!open(salesTable, false) || !select(salesTable)) return false;
    Batch batch;
    bool ok = true;
    for (const auto& row : rows) ok = appendRow(row) && ok;
    return ok && batch.commit();
}

bool rewriteProducts(const std::string& productTable, const Rows& products) {
    if (!open(productTable)) return false;
    Batch batch;
    bool ok = zap();
    for (const auto& row : products) ok = ok && appendRow(row);
    return ok && batch.commit();
}

bool saveEmployee(const std::string& employeeTable, const EmployeeRecord& employee) {
    if (!open(employeeTable)) return false;
    Batch batch;
    bool ok = appendBlank() && writeField(1, Value::bytes(employee.photo));
    for (std::size_t f = 0; f < employee.texts.size(); ++f) ok = ok && writeText(2 + static_cast<int>(f), employee.texts[f]);
    return ok && batch.commit();
}

Rows sampleSalesRows(int count) {
    Rows rows;
    for (int i = 0; i < count; ++i) {
        const Moment m{2024, 3, 5, 14, 7 + i / 600 % 50, i / 10 % 60};
        rows.push_back({"商品" + std::to_string(i), std::to_string(i % 50 + 1) + "元", std::to_string(i % 7 + 1),
                        dateText(m)});
    }
    return rows;
}

Rows sampleProducts(int count, const std::string& prefix) {
    Rows rows;
    for (int i = 0; i < count; ++i)
        rows.push_back({prefix + "产品" + std::to_string(i), std::to_string(i % 90 + 1) + ".5元", std::to_string(i % 300)});
    return rows;
}

EmployeeRecord sampleEmployee(const std::string& name, int photoBytes) {
    EmployeeRecord e;
    e.photo.resize(static_cast<std::size_t>(photoBytes));
    // "BM" and then bytes that do not repeat in short cycles.
    std::uint32_t x = 2463534242u;
    for (auto& c : e.photo) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        c = static_cast<char>(x);
    }
    e.photo[0] = 'B';
    e.photo[1] = 'M';
    e.texts = {"1001", name, "男", "30", "2020年5月1日", "群众", "销售部", "1994年2月3日", "汉族", "浙江",
               "330102199402030011", "本科", "浙江大学", "杭州", "12345678", "杭州市西湖区", "13800000000", "收银员"};
    return e;
}

}  // namespace shop::test
