// The rows of the performance window's result list, held once as the query
// returned them and turned into text only for the rows on screen: a decade
// of sales is hundreds of thousands of rows.
#pragma once

#include <QAbstractTableModel>
#include <vector>

#include "sales_query.h"

namespace shop::performance {

class SalesListModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    // Replaces every row; with `tills` (one per row, 全店) a fifth column
    // "收银机" names the till of each.
    void setRows(std::vector<SalesRow> rows, std::vector<std::string> tills = {});
    void clear() { setRows({}); }
    const std::vector<SalesRow>& rows() const { return m_rows; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    // The column captions "销售名称", "销售价格", "销售销量", "销售时间".
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    std::vector<SalesRow> m_rows;
    std::vector<std::string> m_tills;
};

}  // namespace shop::performance
