// Money of the till in whole fen (1/100 yuan), exact, in 64 bits. Amounts
// come from the texts the catalogue and the cashier give ("12元", "19.5");
// sums and differences never round.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace shop::checkout {

using Fen = std::int64_t;

// The decimal amount at the start of a text, as the checkout has always read
// prices ("12元" is 12 yuan, "abc" is 0), in fen: a third decimal rounds half
// away from zero. Beyond the 64-bit range it saturates.
Fen fenFromText(std::string_view text);

// A money amount and nothing else: optional blanks, an optional "-", digits
// with at most two decimals, an optional "元". nullopt for anything else.
std::optional<Fen> parseMoney(std::string_view text);

// The shortest yuan text: 1950 is "19.5", 1100 "11", 5 "0.05", -350 "-3.5".
std::string yuanText(Fen fen);
// Always two decimals ("19.50"), as amounts are stored.
std::string storedYuan(Fen fen);

// a x b and a + b, saturating at the ends of the range instead of wrapping.
Fen timesSaturated(Fen a, std::int64_t b);
Fen plusSaturated(Fen a, Fen b);

}  // namespace shop::checkout
