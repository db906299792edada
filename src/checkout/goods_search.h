// Finding goods in the goods combo by what the cashier types: part of the
// name, or the pinyin initials of the name ("kqs" finds 矿泉水).
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace shop::checkout {

// Whether a goods name matches what was typed: the name contains the typed
// text (letters in any case), or the name's pinyin initials contain it. An
// empty or blank query matches every name.
bool goodsMatches(const QString& name, const QString& typed);

// The positions, in the combo's own order, of the names that match. The
// result holds positions rather than names because the price and stock of a
// goods name are looked up by its position.
std::vector<int> matchingGoods(const QStringList& names, const QString& typed);

}  // namespace shop::checkout
