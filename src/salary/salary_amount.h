// What the salary window takes as an amount paid: money, in yuan.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace shop::salary {

// Most yuan one payment may be: seven digits before the point.
inline constexpr int kMaxWholeDigits = 7;

inline constexpr const char* kAmountRefused =
    "工资金额必须是大于 0 的金额（单位：元），最多两位小数，且不超过 9999999.99";

// The amount as stored: the typed text without the blanks around it, when it
// is a positive amount of digits with at most two decimals ("3000", "2500.5",
// "1800.25") of at most kMaxWholeDigits whole yuan. nullopt for anything else
// (letters, a sign, a thousands separator, zero, a third decimal).
std::optional<std::string> salaryAmount(std::string_view typed);

}  // namespace shop::salary
