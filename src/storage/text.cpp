#include "text.h"

#include <iconv.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace shop::storage {

namespace {

// Length of the leading number: blanks, sign, digits, one decimal point.
// `allowPoint` false stops at the decimal point (integer reading).
std::string_view leadingNumberText(std::string_view text, bool allowPoint) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    const std::size_t start = i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    bool digits = false, point = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            digits = true;
        } else if (c == '.' && allowPoint && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (!digits) return {};
    return text.substr(start, i - start);
}

// Runs iconv over the whole input; nullopt when it cannot convert.
std::optional<std::string> convert(const char* to, const char* from, std::string_view in) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::string out(in.size() * 4 + 4, '\0');
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    char* dst = out.data();
    std::size_t dstLeft = out.size();
    const std::size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    iconv_close(cd);
    if (rc == static_cast<std::size_t>(-1) || srcLeft != 0) return std::nullopt;
    out.resize(out.size() - dstLeft);
    return out;
}

}  // namespace

double leadingDouble(std::string_view text) {
    const std::string_view num = leadingNumberText(text, true);
    if (num.empty()) return 0.0;
    std::string s(num);
    if (s.front() == '+') s.erase(0, 1);
    return std::strtod(s.c_str(), nullptr);
}

float leadingFloat(std::string_view text) { return static_cast<float>(leadingDouble(text)); }

int leadingInt(std::string_view text) {
    const std::string_view num = leadingNumberText(text, false);
    if (num.empty()) return 0;
    const bool negative = num.front() == '-';
    long long value = 0;
    for (char c : num) {
        if (c < '0' || c > '9') continue;
        value = value * 10 + (c - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) break;
    }
    if (negative)
        return value > static_cast<long long>(INT_MAX) ? INT_MIN : static_cast<int>(-value);
    return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

bool isValidUtf8(std::string_view s) {
    // By the table of well-formed byte sequences: each lead byte fixes the
    // range of its second byte, which rules out overlong forms, surrogates
    // and values past U+10FFFF without decoding the character.
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    const auto* const end = p + s.size();
    const auto in = [](unsigned char c, unsigned char lo, unsigned char hi) {
        return c >= lo && c <= hi;
    };
    while (p < end) {
        // Eight ASCII bytes at a time: text read back is mostly plain digits.
        if (end - p >= 8) {
            std::uint64_t word;
            std::memcpy(&word, p, sizeof word);
            if ((word & 0x8080808080808080ULL) == 0) {
                p += 8;
                continue;
            }
        }
        const unsigned char c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int tail = 0;
        unsigned char lo = 0x80, hi = 0xBF;
        if (in(c, 0xC2, 0xDF)) {
            tail = 1;
        } else if (in(c, 0xE0, 0xEF)) {
            tail = 2;
            if (c == 0xE0) lo = 0xA0;
            if (c == 0xED) hi = 0x9F;
        } else if (in(c, 0xF0, 0xF4)) {
            tail = 3;
            if (c == 0xF0) lo = 0x90;
            if (c == 0xF4) hi = 0x8F;
        } else {
            return false;
        }
        if (end - p <= tail || !in(p[1], lo, hi)) return false;  // truncated or out of range
        for (int k = 2; k <= tail; ++k)
            if (!in(p[k], 0x80, 0xBF)) return false;
        p += tail + 1;
    }
    return true;
}

std::optional<std::size_t> gbkLength(std::string_view utf8) {
    if (!isValidUtf8(utf8)) return std::nullopt;
    // ASCII needs no conversion; it is by far the common case.
    if (std::all_of(utf8.begin(), utf8.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return utf8.size();
    if (const auto gb = convert("GB18030", "UTF-8", utf8)) return gb->size();
    // The converter refuses 24 private-use characters (U+E78D..U+E864) that
    // GBK itself codes in two bytes; count character by character.
    iconv_t cd = iconv_open("GB18030", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::size_t total = 0;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        std::size_t srcLeft = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char* src = const_cast<char*>(utf8.data() + i);
        i += srcLeft;
        char out[8];
        char* dst = out;
        std::size_t dstLeft = sizeof out;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        const bool ok = iconv(cd, &src, &srcLeft, &dst, &dstLeft) != static_cast<std::size_t>(-1) &&
                        srcLeft == 0;
        total += ok ? sizeof out - dstLeft : 2;
    }
    iconv_close(cd);
    return total;
}

std::optional<std::string> gbkToUtf8(std::string_view gbk) {
    return convert("UTF-8", "GB18030", gbk);
}

std::string numberText(double value) {
    if (std::isnan(value)) return "0";
    // Room for the plain form of the largest double (309 digits and 6 decimals).
    char buf[400];
    // The shortest form that reads back as the same float, as a till shows it.
    for (int precision = 1; precision <= 17; ++precision) {
        std::snprintf(buf, sizeof buf, "%.*g", precision, value);
        if (std::strtod(buf, nullptr) == value) break;
    }
    std::string s(buf);
    // Plain decimal notation: amounts are never shown with an exponent.
    if (s.find('e') != std::string::npos) {
        std::snprintf(buf, sizeof buf, "%.6f", value);
        s = buf;
        while (!s.empty() && s.back() == '0') s.pop_back();
        if (!s.empty() && s.back() == '.') s.pop_back();
    }
    if (s == "-0") s = "0";
    return s;
}

std::string numberText(float value) {
    if (std::isnan(value)) return "0";
    char buf[64];
    for (int precision = 1; precision <= 9; ++precision) {
        std::snprintf(buf, sizeof buf, "%.*g", precision, static_cast<double>(value));
        if (std::strtof(buf, nullptr) == value) break;
    }
    std::string s(buf);
    if (s.find('e') != std::string::npos) return numberText(static_cast<double>(value));
    if (s == "-0") s = "0";
    return s;
}

namespace {

void replaceQuoteMarker(std::string& marker) {
    static const std::string kQuote = "#引号";
    for (std::size_t at = marker.find(kQuote); at != std::string::npos;
         at = marker.find(kQuote, at + 1))
        marker.replace(at, kQuote.size(), "\"");
}

std::size_t findFrom(std::string_view text, std::string_view what, std::size_t from,
                     bool caseInsensitive) {
    if (from > text.size()) return std::string_view::npos;
    if (!caseInsensitive) return text.find(what, from);
    auto it = std::search(text.begin() + static_cast<std::ptrdiff_t>(from), text.end(),
                          what.begin(), what.end(), [](char a, char b) {
                              return std::tolower(static_cast<unsigned char>(a)) ==
                                     std::tolower(static_cast<unsigned char>(b));
                          });
    return it == text.end() ? std::string_view::npos : static_cast<std::size_t>(it - text.begin());
}

}  // namespace

std::string textBetween(std::string_view text, std::string left, std::string right,
                        std::size_t start, bool caseInsensitive) {
    replaceQuoteMarker(left);
    replaceQuoteMarker(right);
    const std::size_t l = findFrom(text, left, start, caseInsensitive);
    if (l == std::string_view::npos) return {};
    const std::size_t from = l + left.size();
    const std::size_t r = findFrom(text, right, from, caseInsensitive);
    if (r == std::string_view::npos) return {};
    return std::string(text.substr(from, r - from));
}

}  // namespace shop::storage
