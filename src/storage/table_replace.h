// Replacing the whole contents of a table in one step: a list the user sees
// (the catalogue, the goods list) is stored as it stands, never appended to
// what was there before and never left half written.
#pragma once

#include <span>
#include <string>
#include <vector>

namespace shop::storage {

// Replaces every record of the current table with one record per entry of
// the columns: field c+1 of record k+1 is columns[c][k]. All in one batch, so
// the table afterwards holds exactly these records, or, when anything fails
// (no current table, a value that does not fit, columns of unequal length,
// the commit), exactly what it held before.
bool replaceRecords(std::span<const std::vector<std::string>* const> columns);

}  // namespace shop::storage
