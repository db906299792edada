#include "line_entry.h"

#include <QRegularExpression>
#include <QRegularExpressionValidator>

namespace shop::checkout {

namespace {

LineCheck refused(const QString& hint, EntryField fix) { return {false, {}, hint, fix}; }

// Digits of any script (a Chinese input method may give full-width ones) as
// plain digits; empty when the text holds anything but digits.
QString plainDigits(const QString& text) {
    QString digits;
    for (const QChar c : text) {
        const int d = c.digitValue();
        if (d < 0) return {};
        digits += QChar(u'0' + d);
    }
    return digits;
}

}  // namespace

LineCheck checkLine(const GoodsChoice& goods, const QString& quantity) {
    const QString shown = goods.shown.trimmed();
    if (shown.isEmpty()) return refused(QStringLiteral("请先选择商品"), EntryField::Goods);
    // The goods shown must be the item picked: a name typed over it, or an
    // item only browsed to, has no price of its own on screen.
    if (goods.current < 0 || goods.shown != goods.itemName || goods.picked != goods.current)
        return refused(QStringLiteral("请从商品列表中选择商品（回车选定）"), EntryField::Goods);
    if (!goods.found) return refused(QStringLiteral("无法读取产品数据库"), EntryField::Goods);
    // A price the catalogue does not hold (a name past its end, a blank or
    // a negative price) would sell at nothing or less.
    const QString price = goods.price.trimmed();
    if (price.isEmpty() || price.front() < u'0' || price.front() > u'9')
        return refused(QStringLiteral("该商品在产品库中没有价格"), EntryField::Goods);

    const QString typed = quantity.trimmed();
    if (typed.isEmpty()) return refused(QStringLiteral("请输入数量"), EntryField::Quantity);
    QString digits = plainDigits(typed);
    while (digits.size() > 1 && digits.front() == u'0') digits.remove(0, 1);
    if (digits.isEmpty() || digits == u"0")
        return refused(QStringLiteral("数量须为大于0的整数"), EntryField::Quantity);
    if (digits.size() > 5 || digits.toInt() > kMaxLineQuantity)
        return refused(QStringLiteral("数量过大"), EntryField::Quantity);
    return {true, digits, {}, EntryField::Quantity};
}

QString nothingToDeleteHint() { return QStringLiteral("请先在结账列表中选择要删除的行"); }

QValidator* makeMoneyValidator(QObject* parent) {
    // Seven significant digits are what a single-precision amount keeps to
    // the fen: up to 99999.99.
    static const QRegularExpression money(QStringLiteral("[0-9]{0,5}(\\.[0-9]{0,2})?"));
    return new QRegularExpressionValidator(money, parent);
}

}  // namespace shop::checkout
