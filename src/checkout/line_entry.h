// What the cashier types at the counter, checked before it becomes a line of
// the sale: the goods must be one picked from the goods list, with a price
// in the catalogue, and the quantity a whole number of at least one. A line
// that fails says why in a few words, so the cashier can mend it and go on
// typing; nothing is added in the meantime.
#pragma once

#include <QString>

class QObject;
class QValidator;

namespace shop::checkout {

// The state of the goods box when 添加 is pressed.
struct GoodsChoice {
    int current = -1;   // the goods combo's current item, -1 for none
    QString itemName;   // that item's name
    QString shown;      // what the goods box shows (the cashier may have typed over it)
    int picked = -1;    // the item whose goods lookup ran last, -1 for none
    bool found = true;  // whether that lookup could read the catalogue
    QString price;      // the price box's text: the catalogue's price of the picked item
};

// Which box the cashier has to go back to.
enum class EntryField { Goods, Quantity };

struct LineCheck {
    bool accepted = false;
    QString quantity;  // the accepted quantity in plain digits ("３" and " 3" are "3")
    QString hint;      // why it was refused; empty when accepted
    EntryField fix = EntryField::Goods;
};

// Largest quantity one line takes: more is a typing slip, not a sale, and
// the amounts are reckoned in single precision.
inline constexpr int kMaxLineQuantity = 99999;

LineCheck checkLine(const GoodsChoice& goods, const QString& quantity);

// The hint when 删除 finds no row to remove.
QString nothingToDeleteHint();

// The tendered box takes an amount of money: digits with at most two
// decimals, nothing else (no sign, no unit, no letters).
QValidator* makeMoneyValidator(QObject* parent);

}  // namespace shop::checkout
