#include "tool_text.h"

#include <string_view>

namespace shop::tool {

namespace {

// `value` in lower-case hex, `digits` wide, between `open` and `close`.
std::string hexEscape(std::string_view open, unsigned value, int digits, std::string_view close) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out(open);
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) out += kHex[(value >> shift) & 0xfu];
    out += close;
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
            out += hexEscape("\\x", c, 2, "");
        } else if (c == 0xc2 && i + 1 < text.size() &&
                   static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                   static_cast<unsigned char>(text[i + 1]) <= 0x9f) {
            // U+0080..U+009F: terminals take some of these as control sequences too.
            out += hexEscape("\\u{", static_cast<unsigned char>(text[++i]), 4, "}");
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

}  // namespace shop::tool
