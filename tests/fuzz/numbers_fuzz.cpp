// Number reading, GBK measuring, number text and text-between extraction
// over arbitrary bytes. Each result is checked against a property that holds
// for every input, not against the implementation itself.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "storage/text.h"

using namespace shop::storage;

namespace {

// The integer at the start, computed digit by digit with saturation.
long long referenceInt(std::string_view t) {
    std::size_t i = 0;
    while (i < t.size() && (t[i] == ' ' || t[i] == '\t')) ++i;
    bool negative = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) negative = t[i++] == '-';
    long long v = 0;
    for (; i < t.size() && t[i] >= '0' && t[i] <= '9'; ++i)
        v = std::min<long long>(v * 10 + (t[i] - '0'), 1LL << 40);
    v = negative ? -v : v;
    return std::clamp<long long>(v, INT_MIN, INT_MAX);
}

std::size_t codePoints(std::string_view utf8) {
    std::size_t n = 0;
    for (char c : utf8) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

void checkNumbers(std::string_view t) {
    FUZZ_CHECK(leadingInt(t) == referenceInt(t));
    const double d = leadingDouble(t);
    FUZZ_CHECK(!std::isnan(d));
    const float f = leadingFloat(t);
    FUZZ_CHECK(f == static_cast<float>(d));
    // Whatever the integer reading, the decimal reading agrees with its sign.
    const int i = leadingInt(t);
    if (i > 0) FUZZ_CHECK(d >= i);
    if (i < 0) FUZZ_CHECK(d <= i);
    // A shown amount reads back as the amount (to the shown precision).
    if (std::isfinite(d)) {
        const std::string shown = numberText(d);
        FUZZ_CHECK(shown.find('e') == std::string::npos);
        const double back = leadingDouble(shown);
        FUZZ_CHECK(std::fabs(back - d) <= std::max(1e-6, std::fabs(d) * 1e-12));
    }
    if (std::isfinite(f)) {
        const std::string shown = numberText(f);
        FUZZ_CHECK(shown.find('e') == std::string::npos);
        FUZZ_CHECK(std::fabs(leadingFloat(shown) - f) <= std::max(1e-6f, std::fabs(f) * 1e-6f));
    }
}

void checkGbk(std::string_view t) {
    const auto len = gbkLength(t);
    FUZZ_CHECK(len.has_value() == isValidUtf8(t));
    if (!len) return;
    const std::size_t cps = codePoints(t);
    FUZZ_CHECK(*len >= cps && *len <= 4 * cps);
    // Lengths add up over a split at a character boundary.
    std::size_t cut = t.size() / 2;
    while (cut > 0 && (static_cast<unsigned char>(t[cut]) & 0xC0) == 0x80) --cut;
    const auto a = gbkLength(t.substr(0, cut)), b = gbkLength(t.substr(cut));
    FUZZ_CHECK(a && b && *a + *b == *len);
}

// Input layout: [left length][right length][start][flags] left right text.
void checkTextBetween(std::string_view in) {
    if (in.size() < 4) return;
    const std::size_t ll = static_cast<unsigned char>(in[0]) % 8,
                      rl = static_cast<unsigned char>(in[1]) % 8;
    const std::size_t start = static_cast<unsigned char>(in[2]);
    const bool caseInsensitive = in[3] & 1;
    in.remove_prefix(4);
    if (in.size() < ll + rl) return;
    const std::string left(in.substr(0, ll)), right(in.substr(ll, rl));
    const std::string_view text = in.substr(ll + rl);
    const std::string got = textBetween(text, left, right, start, caseInsensitive);
    FUZZ_CHECK(got.size() <= text.size());
    if (caseInsensitive || got.empty()) return;
    if (left.find('#') != std::string::npos || right.find('#') != std::string::npos) return;
    // Found between the markers, after `start`, and stops at the first right marker.
    FUZZ_CHECK(text.find(left + got + right, start) != std::string_view::npos);
    if (!right.empty()) FUZZ_CHECK(got.find(right) == std::string::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    checkNumbers(text);
    checkGbk(text);
    checkTextBetween(text);
    return 0;
}
