#include "ini_text.h"

#include <algorithm>

namespace shop::settings {

namespace {

constexpr std::string_view kBlanks = " \t";

std::string_view trim(std::string_view s) {
    const auto first = s.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    const auto last = s.find_last_not_of(kBlanks);
    return s.substr(first, last - first + 1);
}

bool sameName(std::string_view a, std::string_view b) {
    a = trim(a);
    b = trim(b);
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

// What a line says, as views into its text.
struct LineMeaning {
    IniLine::Kind kind = IniLine::Kind::Other;
    std::string_view section;  // Section: the name
    std::string_view key;      // Entry
    std::string_view value;    // Entry: as stored (see quoteValue)
};

LineMeaning meaningOf(std::string_view raw) {
    LineMeaning m;
    const std::string_view t = trim(raw);
    if (t.empty()) {
        m.kind = IniLine::Kind::Blank;
    } else if (t.front() == ';' || t.front() == '#') {
        m.kind = IniLine::Kind::Comment;
    } else if (t.front() == '[' && t.find(']') != std::string_view::npos) {
        m.kind = IniLine::Kind::Section;
        m.section = trim(t.substr(1, t.find(']') - 1));
    } else if (const auto eq = t.find('=');
               eq != std::string_view::npos && !trim(t.substr(0, eq)).empty()) {
        m.kind = IniLine::Kind::Entry;
        m.key = trim(t.substr(0, eq));
        m.value = trim(t.substr(eq + 1));
    }
    return m;
}

IniLine lineOf(std::string raw, std::string ending) {
    const IniLine::Kind kind = meaningOf(raw).kind;
    return {kind, std::move(raw), std::move(ending)};
}

// Calls f(body, ending) for every line of the text. A line ends at CR LF, at
// LF, or at a CR that no LF follows.
template <typename F>
void forEachLine(std::string_view text, F&& f) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        const auto end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) {
            f(text.substr(pos), std::string_view());
            return;
        }
        const std::size_t endingLength = text.compare(end, 2, "\r\n") == 0 ? 2 : 1;
        f(text.substr(pos, end - pos), text.substr(end, endingLength));
        pos = end + endingLength;
    }
}

// Calls f(index, meaning) for every entry line of the document together
// with the section it stands in; entries before any section are left out.
template <typename F>
void forEachEntry(const IniDocument& doc, std::string_view section, std::string_view key, F&& f) {
    bool inSection = false;
    for (std::size_t i = 0; i < doc.lines.size(); ++i) {
        const IniLine& line = doc.lines[i];
        if (line.kind == IniLine::Kind::Section) {
            inSection = sameName(meaningOf(line.raw).section, section);
        } else if (line.kind == IniLine::Kind::Entry && inSection) {
            const LineMeaning m = meaningOf(line.raw);
            if (sameName(m.key, key) && !f(i, m)) return;
        }
    }
}

IniLine entryLine(std::string_view key, std::string_view value, const std::string& eol) {
    return lineOf(std::string(key) + "=" + quoteValue(singleLine(value)), eol);
}

// A line gets a line ending before anything is added after it.
void endLine(IniLine& line, const std::string& eol) {
    if (line.ending.empty()) line.ending = eol;
}

}  // namespace

std::string singleLine(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '\r' && i + 1 < value.size() && value[i + 1] == '\n') continue;  // CRLF: one blank
        out += (c == '\r' || c == '\n') ? ' ' : c;
    }
    return out;
}

std::string quoteValue(std::string_view value) {
    if (value.empty()) return {};
    const bool edgeBlank = kBlanks.find(value.front()) != std::string_view::npos ||
                           kBlanks.find(value.back()) != std::string_view::npos;
    if (edgeBlank || value.front() == '"') return "\"" + std::string(value) + "\"";
    return std::string(value);
}

std::string unquoteValue(std::string_view stored) {
    if (stored.size() >= 2 && stored.front() == '"' && stored.back() == '"')
        return std::string(stored.substr(1, stored.size() - 2));
    return std::string(stored);
}

IniDocument parseIni(std::string_view text) {
    IniDocument doc;
    bool eolSeen = false;
    forEachLine(text, [&](std::string_view body, std::string_view ending) {
        if (!ending.empty() && !eolSeen) {
            doc.eol = std::string(ending);
            eolSeen = true;
        }
        doc.lines.push_back(lineOf(std::string(body), std::string(ending)));
    });
    return doc;
}

std::string serializeIni(const IniDocument& doc) {
    std::size_t size = 0;
    for (const IniLine& line : doc.lines) size += line.raw.size() + line.ending.size();
    std::string out;
    out.reserve(size);
    for (const IniLine& line : doc.lines) {
        out += line.raw;
        out += line.ending;
    }
    return out;
}

std::optional<std::string> iniValue(const IniDocument& doc, std::string_view section,
                                    std::string_view key) {
    std::optional<std::string> found;
    forEachEntry(doc, section, key, [&](std::size_t, const LineMeaning& m) {
        found = unquoteValue(m.value);
        return false;
    });
    return found;
}

std::optional<std::string> iniValue(std::string_view text, std::string_view section,
                                    std::string_view key) {
    std::optional<std::string> found;
    bool inSection = false;
    forEachLine(text, [&](std::string_view body, std::string_view) {
        if (found) return;
        const LineMeaning m = meaningOf(body);
        if (m.kind == IniLine::Kind::Section)
            inSection = sameName(m.section, section);
        else if (m.kind == IniLine::Kind::Entry && inSection && sameName(m.key, key))
            found = unquoteValue(m.value);
    });
    return found;
}

void setIniValue(IniDocument& doc, std::string_view section, std::string_view key,
                 std::string_view value) {
    // An existing entry: keep everything up to its "=", replace the value.
    bool replaced = false;
    forEachEntry(doc, section, key, [&](std::size_t i, const LineMeaning&) {
        IniLine& line = doc.lines[i];
        line.raw = line.raw.substr(0, line.raw.find('=') + 1) + quoteValue(singleLine(value));
        replaced = true;
        return false;
    });
    if (replaced) return;
    // An existing section: add the key after its last entry (or its header),
    // so comments and blank lines that lead into the next section stay there.
    for (std::size_t i = 0; i < doc.lines.size(); ++i) {
        if (doc.lines[i].kind != IniLine::Kind::Section ||
            !sameName(meaningOf(doc.lines[i].raw).section, section))
            continue;
        std::size_t after = i;
        for (std::size_t j = i + 1;
             j < doc.lines.size() && doc.lines[j].kind != IniLine::Kind::Section; ++j)
            if (doc.lines[j].kind == IniLine::Kind::Entry) after = j;
        endLine(doc.lines[after], doc.eol);
        doc.lines.insert(doc.lines.begin() + static_cast<std::ptrdiff_t>(after) + 1,
                         entryLine(key, value, doc.eol));
        return;
    }
    // A new section at the end, set off by a blank line.
    if (!doc.lines.empty()) endLine(doc.lines.back(), doc.eol);
    if (!doc.lines.empty() && doc.lines.back().kind != IniLine::Kind::Blank)
        doc.lines.push_back(lineOf("", doc.eol));
    doc.lines.push_back(lineOf("[" + std::string(section) + "]", doc.eol));
    doc.lines.push_back(entryLine(key, value, doc.eol));
}

std::string withIniValue(std::string_view text, std::string_view section, std::string_view key,
                         std::string_view value) {
    IniDocument doc = parseIni(text);
    setIniValue(doc, section, key, value);
    return serializeIni(doc);
}

}  // namespace shop::settings
