#include "salary_amount.h"

#include <algorithm>

namespace shop::salary {

namespace {

bool allDigits(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string_view trimBlanks(std::string_view s) {
    const auto first = s.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

}  // namespace

std::optional<std::string> salaryAmount(std::string_view typed) {
    const std::string_view text = trimBlanks(typed);
    const auto point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view cents =
        point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    if (whole.empty() || !allDigits(whole) || !allDigits(cents)) return std::nullopt;
    if (point != std::string_view::npos && (cents.empty() || cents.size() > 2)) return std::nullopt;
    const std::string_view significant =
        whole.substr(std::min(whole.find_first_not_of('0'), whole.size()));
    if (significant.size() > static_cast<std::size_t>(kMaxWholeDigits)) return std::nullopt;
    const bool zero = significant.empty() && cents.find_first_not_of('0') == std::string_view::npos;
    if (zero) return std::nullopt;
    return std::string(text);
}

}  // namespace shop::salary
