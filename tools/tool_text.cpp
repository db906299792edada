#include "tool_text.h"

#include <string_view>

namespace shop::tool {

namespace {

// The value in lower-case hexadecimal, `digits` wide.
std::string hex(unsigned value, std::size_t digits) {
    static constexpr std::string_view kDigits = "0123456789abcdef";
    std::string out(digits, '0');
    for (std::size_t i = digits; i-- > 0; value >>= 4) out[i] = kDigits[value & 0xF];
    return out;
}

}  // namespace

std::string escapeControls(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20 || c == 0x7f) {
            out += "\\x" + hex(c, 2);
        } else if (c == 0xc2 && i + 1 < text.size() &&
                   static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                   static_cast<unsigned char>(text[i + 1]) <= 0x9f) {
            // U+0080..U+009F: terminals take some of these as control sequences too.
            out += "\\u{" + hex(static_cast<unsigned char>(text[++i]), 4) + "}";
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

}  // namespace shop::tool
