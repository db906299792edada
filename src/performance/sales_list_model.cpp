#include "sales_list_model.h"

#include <QString>

namespace shop::performance {

namespace {

constexpr int kColumns = static_cast<int>(std::size(kSalesCaptions));

}  // namespace

void SalesListModel::setRows(std::vector<SalesRow> rows, std::vector<std::string> tills) {
    beginResetModel();
    m_rows = std::move(rows);
    m_tills = tills.size() == m_rows.size() ? std::move(tills) : std::vector<std::string>{};
    endResetModel();
}

int SalesListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int SalesListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns + (m_tills.empty() ? 0 : 1);
}

QVariant SalesListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount() ||
        index.column() >= columnCount())
        return {};
    if (index.column() == kColumns)
        return QString::fromStdString(m_tills[static_cast<std::size_t>(index.row())]);
    return QString::fromStdString(m_rows[static_cast<std::size_t>(index.row())][index.column()]);
}

QVariant SalesListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= columnCount())
        return {};
    if (section == kColumns) return QStringLiteral("收银机");
    return QString::fromUtf8(kSalesCaptions[section]);
}

}  // namespace shop::performance
