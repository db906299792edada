#include "money.h"

#include <limits>

#include "storage/money.h"

namespace shop::checkout {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

Fen fenFromText(std::string_view text) { return storage::leadingFen(text); }

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
    // The shape is checked; the value is read as every stored amount is.
    const Fen value = storage::leadingFen(text);
    if (value == std::numeric_limits<Fen>::max() || value == std::numeric_limits<Fen>::min())
        return std::nullopt;
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
