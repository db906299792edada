#include "pinyin_initials.h"

#include <QList>

#include "pinyin_initials_range.h"

namespace shop::checkout {

namespace pinyin {
extern const char kInitials[];  // generated from the Unicode Han database
}

char pinyinInitial(char32_t codePoint) {
    if (codePoint < pinyin::kFirst || codePoint > pinyin::kLast) return 0;
    const char letter = pinyin::kInitials[codePoint - pinyin::kFirst];
    return letter == '-' ? 0 : letter;
}

QString pinyinInitials(const QString& text) {
    QString initials;
    initials.reserve(text.size());
    for (const char32_t cp : text.toUcs4()) {
        if (const char letter = pinyinInitial(cp)) {
            initials.append(QLatin1Char(letter));
        } else if (cp < 0x80 && QChar::isLetterOrNumber(cp)) {
            initials.append(QChar(cp).toLower());
        }
    }
    return initials;
}

}  // namespace shop::checkout
