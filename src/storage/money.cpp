#include "money.h"

#include <limits>

namespace shop::storage {

namespace {

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();

// Adds one digit to a non-negative amount; false once it would pass kMax.
bool pushDigit(std::int64_t& value, int digit) {
    if (value > (kMax - digit) / 10) return false;
    value = value * 10 + digit;
    return true;
}

}  // namespace

std::int64_t leadingFen(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    std::int64_t fen = 0;
    bool digits = false, point = false, fits = true;
    int decimals = 0;
    bool roundUp = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '.' && !point) {
            point = true;
            continue;
        }
        if (c < '0' || c > '9') break;
        digits = true;
        if (!point) {
            fits = fits && pushDigit(fen, c - '0');
        } else if (decimals < 2) {
            fits = fits && pushDigit(fen, c - '0');
            ++decimals;
        } else if (decimals == 2) {
            roundUp = c >= '5';  // only the first digit past the fen decides
            ++decimals;
        }
    }
    if (!digits) return 0;
    for (; fits && decimals < 2; ++decimals) fits = pushDigit(fen, 0);
    if (fits && roundUp) {
        if (fen == kMax)
            fits = false;
        else
            ++fen;
    }
    if (!fits) return negative ? kMin : kMax;
    return negative ? -fen : fen;
}

std::int64_t timesCount(std::int64_t fen, std::int64_t count) {
    std::int64_t product = 0;
    if (__builtin_mul_overflow(fen, count, &product)) return (fen < 0) != (count < 0) ? kMin : kMax;
    return product;
}

std::int64_t plusFen(std::int64_t a, std::int64_t b) {
    std::int64_t sum = 0;
    if (__builtin_add_overflow(a, b, &sum)) return a < 0 ? kMin : kMax;
    return sum;
}

std::string fenText(std::int64_t fen) {
    const bool negative = fen < 0;
    // The magnitude as unsigned: -kMin does not fit a signed value.
    const std::uint64_t magnitude = negative ? std::uint64_t{0} - static_cast<std::uint64_t>(fen)
                                             : static_cast<std::uint64_t>(fen);
    std::string out = negative ? "-" : "";
    out += std::to_string(magnitude / 100);
    const auto cents = static_cast<int>(magnitude % 100);
    if (cents != 0) {
        out += '.';
        out += static_cast<char>('0' + cents / 10);
        if (cents % 10 != 0) out += static_cast<char>('0' + cents % 10);
    }
    return out;
}

}  // namespace shop::storage
