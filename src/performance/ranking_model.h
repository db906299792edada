// The rows of 销售排行 on screen: one line per goods with its rank, quantity,
// revenue and their shares. A click on the quantity or revenue caption ranks
// the goods by that figure (largest first).
#pragma once

#include <QAbstractTableModel>

#include "sales_ranking.h"

namespace shop::performance {

class RankingModel : public QAbstractTableModel {
public:
    enum Column { kRank, kName, kQuantity, kQuantityShare, kRevenue, kRevenueShare, kColumns };

    using QAbstractTableModel::QAbstractTableModel;

    void setRanking(SalesRanking ranking);
    const SalesRanking& ranking() const { return m_ranking; }
    RankBy rankedBy() const { return m_by; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    // Only the two figures rank; the order is always largest first.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    SalesRanking m_ranking;
    RankBy m_by = RankBy::Quantity;
};

// The caption of each column: "排名", "商品名称", "数量", "数量占比", "金额（元）", "金额占比".
QString rankingCaption(int column);
// The text of one cell of the goods at `rank` (0-based) of the ranking.
QString rankingCell(const SalesRanking& ranking, int rank, int column);

}  // namespace shop::performance
