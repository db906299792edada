// A table opened for the length of one handler. The handler closes it when
// done, except when the table was already open in this thread before: then
// another window keeps it open (the employee entry form keeps the employee
// table open while the directory, leave and salary windows read it), and
// closing it would pull it from under that window.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace shop::storage {

class TableVisit {
public:
    explicit TableVisit(const std::string& path, bool readOnly = false);
    ~TableVisit();  // ends the visit if still open
    TableVisit(const TableVisit&) = delete;
    TableVisit& operator=(const TableVisit&) = delete;

    bool opened() const { return m_opened; }
    // Closes the table now, unless another window keeps it open.
    void end();

private:
    std::string m_path;
    bool m_opened = false;
    bool m_kept = false;
};

// Field `pos` of every record, as text, by the read loop over the table at
// `path`; nullopt when the table does not open or when any read of the loop
// fails (the reason is lastStatus()). A caller that rewrites a table from
// what it read must stop on nullopt: an empty list means an empty table.
std::optional<std::vector<std::string>> readTextColumn(const std::string& path, int pos,
                                                       bool readOnly = false);

// Fields 1..fieldCount of every record of the current table, as text, by the
// read loop from the first record wherever the cursor stood.
// A value that cannot be read gives an empty text and the other records
// are still listed; use readTextRowsChecked to tell.
std::vector<std::vector<std::string>> readTextRows(int fieldCount);
// The same; nullopt when any read of the loop fails (reason: lastStatus()).
std::optional<std::vector<std::vector<std::string>>> readTextRowsChecked(int fieldCount);

}  // namespace shop::storage
