// Pinyin initials of a text, so a cashier can find 矿泉水 by typing "kqs".
#pragma once

#include <QString>

namespace shop::checkout {

// The first letter of the most common Mandarin reading of a Han character,
// in lower case; 0 for any other character or one without a reading.
char pinyinInitial(char32_t codePoint);

// The text as a cashier would type it: every Han character replaced by its
// pinyin initial, letters lower-cased, digits kept; blanks, punctuation and
// characters without a reading dropped. "矿泉水 550ml" gives "kqs550ml".
QString pinyinInitials(const QString& text);

}  // namespace shop::checkout
