// Small text helpers shared by every layer: reading a number at the start of
// a text, and measuring a text the way the shop's GBK files count it.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace shop::storage {

// The decimal number at the start of a text (leading blanks, sign, digits,
// decimal point; no exponent), the rest ignored: "12元" reads as 12, "abc" as 0.
double leadingDouble(std::string_view text);
float leadingFloat(std::string_view text);
// The integer at the start of a text: "3.7" reads as 3, "abc" as 0. Values
// beyond the 32-bit range saturate.
int leadingInt(std::string_view text);

// Number of bytes the UTF-8 text takes in the GB18030 encoding (1 for ASCII,
// 2 for GBK characters, 4 for the rest). nullopt for text that is not valid UTF-8.
std::optional<std::size_t> gbkLength(std::string_view utf8);

// Whether the bytes are valid UTF-8.
bool isValidUtf8(std::string_view bytes);

// A GBK (GB18030) byte string as UTF-8; nullopt when it cannot be decoded.
std::optional<std::string> gbkToUtf8(std::string_view gbk);

// Shortest decimal text for a single-precision value, as the checkout shows
// amounts: 11 -> "11", 2.5 -> "2.5", -3.25 -> "-3.25".
std::string numberText(float value);
std::string numberText(double value);

// Text between the left marker and the next right marker after it, searched
// from `start` (a byte offset). "#引号" in either marker stands for a double
// quote. Empty text when either marker is not found.
std::string textBetween(std::string_view text, std::string left, std::string right,
                        std::size_t start = 0, bool caseInsensitive = false);

}  // namespace shop::storage
