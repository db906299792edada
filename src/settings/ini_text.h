// INI text as the receipt header keeps it: sections in brackets, key=value
// lines. Pure functions over text, so every odd file can be tried in a test.
//
// A line ends at CR LF, LF or a lone CR, so a file with CR-only line endings
// reads like any other. Reading is forgiving: blank lines, comments (";" or "#"), lines without "="
// and keys before the first section are kept but never match a lookup.
// Section and key names compare without regard to ASCII case and surrounding
// blanks. Writing a key changes one line (or adds one) and keeps every other
// byte of the text, line endings included.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace shop::settings {

// One line of the text. Only what every line needs is kept, so a file of a
// million blank lines costs little; entry and section names are read from
// `raw` when asked for.
struct IniLine {
    enum class Kind : unsigned char { Blank, Comment, Section, Entry, Other };
    Kind kind = Kind::Other;
    std::string raw;     // the line as it stands, without its line ending
    std::string ending;  // "\n", "\r\n", "\r", or "" for a last line without one
};

struct IniDocument {
    std::vector<IniLine> lines;
    std::string eol = "\n";  // for added lines: the ending the text used first
};

IniDocument parseIni(std::string_view text);
std::string serializeIni(const IniDocument& doc);

// The value of the first entry with that key in a section with that name.
std::optional<std::string> iniValue(const IniDocument& doc, std::string_view section,
                                    std::string_view key);
// The same, read straight from the text: one pass, no copy of the lines.
std::optional<std::string> iniValue(std::string_view text, std::string_view section,
                                    std::string_view key);

// Sets the key's value: replaces the first such entry, or adds the key at the
// end of the first such section, or adds the section at the end of the text.
// A value is one line: every line break in it (CR, LF or CRLF) becomes a
// blank, so the file keeps its shape.
void setIniValue(IniDocument& doc, std::string_view section, std::string_view key,
                 std::string_view value);

// Text in, text out: the whole text with one key set.
std::string withIniValue(std::string_view text, std::string_view section, std::string_view key,
                         std::string_view value);

// Values keep leading and trailing blanks and quotes through a write and a
// read: such a value is stored in double quotes, and one pair of enclosing
// quotes is removed when reading.
std::string quoteValue(std::string_view value);
std::string unquoteValue(std::string_view stored);

// A value made single-line (line breaks to blanks).
std::string singleLine(std::string_view value);

}  // namespace shop::settings
