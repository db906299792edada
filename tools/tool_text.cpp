#include "tool_text.h"

#include <cstdio>
#include <string_view>

namespace shop::tool {

namespace {

// The value in lower-case hex, zero-padded to the given number of digits.
std::string hexDigits(unsigned value, int digits) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%0*x", digits, value);
    return buf;
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
            out += "\\x" + hexDigits(c, 2);
        } else if (c == 0xc2 && i + 1 < text.size() &&
                   static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                   static_cast<unsigned char>(text[i + 1]) <= 0x9f) {
            // U+0080..U+009F: terminals take some of these as control sequences too.
            out += "\\u{" + hexDigits(static_cast<unsigned char>(text[++i]), 4) + "}";
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

}  // namespace shop::tool
