// The shop's multi-record writes, done by the very functions the windows
// call, each from the state the window leaves the tables in.
#pragma once

#include <string>
#include <vector>

namespace shop::test {

using Rows = std::vector<std::vector<std::string>>;

// Exit recording: the run's sales table is open (start-up opened it); the
// checkout rows (name, price, quantity, moment) are appended to it.
bool recordSales(const std::string& salesTable, const Rows& rows);
// The product window's rewrite: the product table is open and current, and
// is replaced by every (name, price, quantity).
bool rewriteProducts(const std::string& productTable, const Rows& products);
// The entry form's save: the employee table is open; one new employee, photo
// bytes in field 1, then the 18 texts.
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
