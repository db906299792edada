// The shop's multi-record writes, done through the table facility in the
// shape the windows do them: each one batch, all or nothing.
#pragma once

#include <string>
#include <vector>

namespace shop::test {

using Rows = std::vector<std::vector<std::string>>;

// Exit recording: the checkout rows (name, price, quantity, moment) appended
// to the run's sales table.
bool recordSales(const std::string& salesTable, const Rows& rows);
// The product window's rewrite: zap, then every (name, price, quantity).
bool rewriteProducts(const std::string& productTable, const Rows& products);
// The entry form's save: one new employee, photo bytes first, then the 18 texts.
struct EmployeeRecord {
    std::string photo;
    std::vector<std::string> texts;  // fields 2..19
};
bool saveEmployee(const std::string& employeeTable, const EmployeeRecord& employee);

// Sample data. Texts are Chinese, as a shop's are; prices carry the unit.
Rows sampleSalesRows(int count);
Rows sampleProducts(int count, const std::string& prefix);
EmployeeRecord sampleEmployee(const std::string& name, int photoBytes);

}  // namespace shop::test
