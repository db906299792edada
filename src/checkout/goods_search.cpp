#include "goods_search.h"

#include "pinyin_initials.h"

namespace shop::checkout {

bool goodsMatches(const QString& name, const QString& typed) {
    const QString query = typed.trimmed();
    if (query.isEmpty()) return true;
    if (name.contains(query, Qt::CaseInsensitive)) return true;
    // Only Latin letters and digits are typed as initials: a Han character
    // typed must appear in the name itself, not merely share an initial.
    QString typedInitials;
    for (const QChar c : query) {
        if (c.isSpace()) continue;  // "k q s" reads as "kqs"
        if (c.unicode() >= 0x80 || !c.isLetterOrNumber()) return false;
        typedInitials.append(c.toLower());
    }
    return pinyinInitials(name).contains(typedInitials);
}

std::vector<int> matchingGoods(const QStringList& names, const QString& typed) {
    std::vector<int> positions;
    for (int i = 0; i < names.size(); ++i) {
        if (goodsMatches(names[i], typed)) positions.push_back(i);
    }
    return positions;
}

}  // namespace shop::checkout
