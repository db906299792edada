// Money in whole fen, read from the texts the shop stores ("3.2元", "12",
// "-1.5元"). Sums of money are formed in integers: in binary floating point
// 0.1 + 0.2 is not 0.3 and 19.99 x 3 is not 59.97, and an owner who adds up
// a report by hand must get the same figure to the fen.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace shop::storage {

// The amount at the start of a text in fen, read as leadingDouble reads a
// number (blanks, sign, digits, one decimal point; the rest ignored) but
// exactly: "3.2元" is 320, "0.1" is 10, "abc" is 0. Digits past the second
// decimal round half away from zero ("1.005" is 101). Amounts beyond the
// 64-bit range saturate.
std::int64_t leadingFen(std::string_view text);

// fen x count, saturating at the 64-bit range instead of wrapping.
std::int64_t timesCount(std::int64_t fen, std::int64_t count);
// a + b, saturating likewise.
std::int64_t plusFen(std::int64_t a, std::int64_t b);

// The amount in yuan as the shortest plain decimal text: 320 -> "3.2",
// 1200 -> "12", 5 -> "0.05", -150 -> "-1.5".
std::string fenText(std::int64_t fen);

}  // namespace shop::storage
