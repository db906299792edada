// 销售排行 as a picture for the PNG export: a title, the captions and one
// line per goods, drawn whole (the list on screen shows only what fits).
#pragma once

#include <QImage>
#include <QString>

#include "sales_ranking.h"

class QFont;

namespace shop::performance {

// Goods past this many are left out of the picture, and a last line says how
// many (the CSV holds every one).
inline constexpr int kMostPicturedGoods = 200;

QImage rankingPicture(const SalesRanking& ranking, const QString& title, const QFont& font);

}  // namespace shop::performance
