#include "table_visit.h"

#include "table.h"

namespace shop::storage {

TableVisit::TableVisit(const std::string& path, bool readOnly)
    : m_path(path), m_kept(isOpen(path)) {
    m_opened = open(path, readOnly);
}

TableVisit::~TableVisit() { end(); }

void TableVisit::end() {
    if (!m_opened) return;
    m_opened = false;
    if (m_kept) return;
    // Close exactly this table, whatever the handler made current meanwhile.
    close(m_path);
}

std::optional<std::vector<std::string>> readTextColumn(const std::string& path, int pos,
                                                       bool readOnly) {
    const StatusWatch watch;
    TableVisit visit(path, readOnly);
    if (!visit.opened()) return std::nullopt;
    const auto n = countRecords();
    if (!n) return std::nullopt;
    std::vector<std::string> values;
    values.reserve(static_cast<std::size_t>(*n));
    for (int i = 0; i < *n; ++i) {
        values.push_back(readText(pos));
        skip(1);
    }
    if (watch.failed()) return std::nullopt;
    return values;
}

std::vector<std::vector<std::string>> readTextRows(int fieldCount) {
    skip(1 - position());
    const auto n = countRecords();
    std::vector<std::vector<std::string>> rows;
    if (!n) return rows;
    rows.reserve(static_cast<std::size_t>(*n));
    for (int i = 0; i < *n; ++i) {
        std::vector<std::string>& row = rows.emplace_back();
        for (int f = 1; f <= fieldCount; ++f) row.push_back(readText(f));
        skip(1);
    }
    return rows;
}

std::optional<std::vector<std::vector<std::string>>> readTextRowsChecked(int fieldCount) {
    const StatusWatch watch;
    auto rows = readTextRows(fieldCount);
    if (watch.failed()) return std::nullopt;
    return rows;
}

}  // namespace shop::storage
