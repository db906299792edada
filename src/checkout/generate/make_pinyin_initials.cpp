// Build-time generator: reads the Mandarin readings of the Unicode Han
// database (the kMandarin lines of Unihan_Readings.txt, from Debian's
// unicode-data package) and writes a C++ source holding the first letter of
// the most common reading of every ideograph in the range the table covers.
//
// usage: make_pinyin_initials READINGS.txt OUT.cpp
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "../pinyin_initials_range.h"

namespace {

// Decodes the first UTF-8 character of a reading.
char32_t firstCodePoint(const std::string& s) {
    if (s.empty()) return 0;
    const auto b = static_cast<unsigned char>(s[0]);
    if (b < 0x80) return b;
    int extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : 1;
    char32_t cp = b & (0x3F >> extra);
    for (int i = 1; i <= extra && i < static_cast<int>(s.size()); ++i)
        cp = (cp << 6) | (static_cast<unsigned char>(s[i]) & 0x3F);
    return cp;
}

// Readings are written with tone marks; a syllable can begin with a marked
// vowel (à, ō...) or, for a few interjections, a marked m or n.
char letterOf(char32_t cp) {
    if (cp >= 'a' && cp <= 'z') return static_cast<char>(cp);
    switch (cp) {
        case 0xE0:
        case 0xE1:
        case 0x101:
        case 0x1CE:
            return 'a';
        case 0xE8:
        case 0xE9:
        case 0xEA:
        case 0x113:
        case 0x11B:
            return 'e';
        case 0xF2:
        case 0xF3:
        case 0x14D:
        case 0x1D2:
            return 'o';
        case 0x1E3F:
            return 'm';
        case 0x144:
        case 0x148:
        case 0x1F9:
            return 'n';
        default:
            return 0;
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: make_pinyin_initials READINGS.txt OUT.cpp\n";
        return 2;
    }
    std::ifstream in(argv[1]);
    if (!in) {
        std::cerr << "make_pinyin_initials: cannot read " << argv[1] << "\n";
        return 1;
    }
    using namespace shop::checkout::pinyin;
    std::string table(kLast - kFirst + 1, '-');
    std::string line;
    int found = 0;
    while (std::getline(in, line)) {
        // U+6C34<TAB>kMandarin<TAB>shuǐ [more readings]
        std::istringstream fields(line);
        std::string code, key, reading;
        if (!(fields >> code >> key >> reading) || key != "kMandarin" || code.rfind("U+", 0) != 0)
            continue;
        const auto cp = static_cast<char32_t>(std::stoul(code.substr(2), nullptr, 16));
        if (cp < kFirst || cp > kLast) continue;
        if (const char letter = letterOf(firstCodePoint(reading))) {
            table[cp - kFirst] = letter;
            ++found;
        }
    }
    if (found == 0) {
        std::cerr << "make_pinyin_initials: no kMandarin reading in " << argv[1] << "\n";
        return 1;
    }
    std::ofstream out(argv[2]);
    out << "// Generated at build time from the Unicode Han database; do not edit.\n"
        << "#include \"checkout/pinyin_initials_range.h\"\n\n"
        << "namespace shop::checkout::pinyin {\n\n"
        << "// One letter per code point from kFirst, '-' where there is no reading.\n"
        << "extern const char kInitials[];\n"
        << "const char kInitials[] =\n";
    constexpr std::size_t kPerLine = 100;
    for (std::size_t i = 0; i < table.size(); i += kPerLine)
        out << "    \"" << table.substr(i, kPerLine) << "\"\n";
    out << "    ;\n\n}  // namespace shop::checkout::pinyin\n";
    return out ? 0 : 1;
}
