#include "ranking_model.h"

#include "storage/money.h"

namespace shop::performance {

QString rankingCaption(int column) {
    static const char* const kCaptions[] = {"排名",     "商品名称",   "数量",
                                            "数量占比", "金额（元）", "金额占比"};
    return column >= 0 && column < RankingModel::kColumns ? QString::fromUtf8(kCaptions[column])
                                                          : QString();
}

QString rankingCell(const SalesRanking& ranking, int rank, int column) {
    const RankedGoods& goods = ranking.goods[static_cast<std::size_t>(rank)];
    switch (column) {
        case RankingModel::kRank:
            return QString::number(rank + 1);
        case RankingModel::kName:
            return QString::fromStdString(goods.name);
        case RankingModel::kQuantity:
            return QString::number(goods.quantity);
        case RankingModel::kQuantityShare:
            return QString::fromStdString(shareText(goods.quantity, ranking.totalQuantity));
        case RankingModel::kRevenue:
            return QString::fromStdString(storage::fenText(goods.revenueFen));
        case RankingModel::kRevenueShare:
            return QString::fromStdString(shareText(goods.revenueFen, ranking.totalRevenueFen));
        default:
            return {};
    }
}

void RankingModel::setRanking(SalesRanking ranking) {
    beginResetModel();
    m_ranking = std::move(ranking);
    rerank(m_ranking, m_by);
    endResetModel();
}

int RankingModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_ranking.goods.size());
}

int RankingModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QVariant RankingModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= kColumns) return {};
    if (role == Qt::TextAlignmentRole)
        return index.column() == kName ? QVariant() : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole) return {};
    return rankingCell(m_ranking, index.row(), index.column());
}

QVariant RankingModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    return rankingCaption(section);
}

void RankingModel::sort(int column, Qt::SortOrder) {
    const bool byQuantity = column == kQuantity || column == kQuantityShare;
    const bool byRevenue = column == kRevenue || column == kRevenueShare;
    if (!byQuantity && !byRevenue) return;
    Q_EMIT layoutAboutToBeChanged();
    m_by = byQuantity ? RankBy::Quantity : RankBy::Revenue;
    rerank(m_ranking, m_by);
    Q_EMIT layoutChanged();
}

}  // namespace shop::performance
