#include "writes.h"

#include "checkout/sale_recording.h"
#include "employees/employee_table.h"
#include "products/product_catalog.h"
#include "storage/date_text.h"
#include "storage/table.h"

namespace shop::test {

using namespace shop::storage;

bool recordSales(const std::string& salesTable, const Rows& rows) {
    if (!open(salesTable, false)) return false;
    std::vector<checkout::SaleRow> sale;
    for (const auto& r : rows) sale.push_back({r.at(0), r.at(1), r.at(2), r.at(3)});
    return checkout::recordSales(salesTable, sale).outcome == checkout::ExitRecording::Recorded;
}

bool rewriteProducts(const std::string& productTable, const Rows& products) {
    if (!open(productTable)) return false;
    products::Catalog catalog;
    for (const auto& r : products) {
        catalog.names.push_back(r.at(0));
        catalog.prices.push_back(r.at(1));
        catalog.quantities.push_back(r.at(2));
    }
    return products::storeCatalog(catalog) == products::StoreResult::Stored;
}

bool saveEmployee(const std::string& employeeTable, const EmployeeRecord& employee) {
    if (!open(employeeTable)) return false;
    employees::EmployeeRecord record;
    record[1] = employee.photo;
    for (std::size_t f = 0; f < employee.texts.size(); ++f)
        record[2 + static_cast<int>(f)] = employee.texts[f];
    return employees::appendEmployee(record).saved;
}

Rows sampleSalesRows(int count) {
    Rows rows;
    for (int i = 0; i < count; ++i) {
        const Moment m{2024, 3, 5, 14, 7 + i / 600 % 50, i / 10 % 60};
        rows.push_back({"商品" + std::to_string(i), std::to_string(i % 50 + 1) + "元",
                        std::to_string(i % 7 + 1), dateText(m)});
    }
    return rows;
}

Rows sampleProducts(int count, const std::string& prefix) {
    Rows rows;
    for (int i = 0; i < count; ++i)
        rows.push_back({prefix + "产品" + std::to_string(i), std::to_string(i % 90 + 1) + ".5元",
                        std::to_string(i % 300)});
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
    e.texts = {
        "1001",     name,           "男",       "30",           "2020年5月1日",       "群众",
        "销售部",   "1994年2月3日", "汉族",     "浙江",         "330102199402030011", "本科",
        "浙江大学", "杭州",         "12345678", "杭州市西湖区", "13800000000",        "收银员"};
    return e;
}

}  // namespace shop::test
