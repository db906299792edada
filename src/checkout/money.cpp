#include "money.h"

#include <cctype>
#include <limits>

#include "storage/money.h"

namespace shop::checkout {

namespace {

constexpr Fen kMax = std::numeric_limits<Fen>::max();
constexpr Fen kMin = std::numeric_limits<Fen>::min();

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Reads [sign] digits [. digits] from `at`; the value in fen.
Fen readAmount(std::string_view text, std::size_t& at) {
    bool negative = false;
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) negative = text[at++] == '-';
    Fen value = 0;
    bool saturated = false;
    const auto push = [&](int digit) {
        if (saturated || value > (kMax - digit) / 10) {
            saturated = true;
            return;
        }
        value = value * 10 + digit;
    };
    while (at < text.size() && isDigit(text[at])) push(text[at++] - '0');
    int decimals = 0;
    bool roundUp = false;
    if (at < text.size() && text[at] == '.') {
        ++at;
        for (; at < text.size() && isDigit(text[at]); ++at) {
            if (decimals < 2)
                push(text[at] - '0');
            else if (decimals == 2)
                roundUp = text[at] >= '5';
            ++decimals;
        }
    }
    for (int d = decimals; d < 2; ++d) push(0);
    if (roundUp && !saturated) {
        if (value == kMax)
            saturated = true;
        else
            ++value;
    }
    if (saturated) return negative ? kMin : kMax;
    return negative ? -value : value;
}

}  // namespace

Fen fenFromText(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
    const std::size_t start = at;
    std::size_t probe = at;
    if (probe < text.size() && (text[probe] == '-' || text[probe] == '+')) ++probe;
    if (probe < text.size() && text[probe] == '.') ++probe;
    if (probe >= text.size() || !isDigit(text[probe])) return 0;
    at = start;
    return readAmount(text, at);
}

std::optional<Fen> parseMoney(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size() && text[at] == ' ') ++at;
    std::size_t end = text.size();
    while (end > at && text[end - 1] == ' ') --end;
    text = text.substr(0, end);
    constexpr std::string_view kYuan = "元";
    if (text.size() >= kYuan.size() && text.substr(text.size() - kYuan.size()) == kYuan)
        text.remove_suffix(kYuan.size());
    if (at < text.size() && text[at] == '-') ++at;
    const std::size_t digits = at;
    while (at < text.size() && isDigit(text[at])) ++at;
    bool any = at > digits;
    if (at < text.size() && text[at] == '.') {
        const std::size_t fraction = ++at;
        while (at < text.size() && isDigit(text[at])) ++at;
        if (at - fraction > 2) return std::nullopt;
        any = any || at > fraction;
    }
    if (!any || at != text.size()) return std::nullopt;
    std::size_t from = text.find_first_not_of(' ');
    const Fen value = readAmount(text, from);
    if (value == kMax || value == kMin) return std::nullopt;
    return value;
}

std::string yuanText(Fen fen) { return storage::fenText(fen); }

std::string storedYuan(Fen fen) {
    std::string text = yuanText(fen);
    const std::size_t dot = text.find('.');
    if (dot == std::string::npos) return text + ".00";
    if (text.size() - dot == 2) text += '0';
    return text;
}

Fen timesSaturated(Fen a, std::int64_t b) { return storage::timesCount(a, b); }

Fen plusSaturated(Fen a, Fen b) { return storage::plusFen(a, b); }

}  // namespace shop::checkout
