// CSV cells for spreadsheets. Whatever the shop exports as CSV (the table
// tool, the sales list) goes through one rule, so a stored text never runs
// as a formula in whichever spreadsheet opens the file.
#pragma once

#include <string>

namespace shop::storage {

// One CSV cell. A cell a spreadsheet would run as a formula (starting with
// =, +, -, @, a tab or a carriage return) is prefixed with a single quote,
// then the cell is quoted when it holds a comma, a quote or a line break.
std::string csvCell(const std::string& text);

}  // namespace shop::storage
