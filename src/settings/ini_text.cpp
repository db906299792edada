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

IniLine classify(std::string raw, const std::string& section, bool inSection) {
    IniLine line;
    line.raw = std::move(raw);
    const std::string_view t = trim(line.raw);
    if (t.empty()) {
        line.kind = IniLine::Kind::Blank;
    } else if (t.front() == ';' || t.front() == '#') {
        line.kind = IniLine::Kind::Comment;
    } else if (t.front() == '[' && t.find(']') != std::string_view::npos) {
        line.kind = IniLine::Kind::Section;
        line.section = std::string(trim(t.substr(1, t.find(']') - 1)));
    } else if (const auto eq = t.find('='); eq != std::string_view::npos && !trim(t.substr(0, eq)).empty()) {
        line.kind = IniLine::Kind::Entry;
        line.section = section;
        line.inSection = inSection;
        line.key = std::string(trim(t.substr(0, eq)));
        line.value = unquoteValue(trim(t.substr(eq + 1)));
    }
    return line;
}

IniLine entryLine(std::string_view key, std::string_view value, const std::string& eol) {
    IniLine line = classify(std::string(key) + "=" + quoteValue(singleLine(value)), "", true);
    line.ending = eol;
    return line;
}

// A line gets a complete line ending before anything is added after it; a
// lone CR ending the text was the first half of one.
void endLine(IniLine& line, const std::string& eol) {
    if (line.ending.empty()) line.ending = eol;
    else if (line.ending == "\r") line.ending = "\r\n";
}

void endLastLine(IniDocument& doc) {
    if (!doc.lines.empty()) endLine(doc.lines.back(), doc.eol);
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
    std::string section;
    bool inSection = false;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const auto nl = text.find('\n', pos);
        std::string_view body = text.substr(pos, nl == std::string_view::npos ? text.size() - pos : nl - pos);
        std::string ending;
        if (nl != std::string_view::npos) {
            ending = "\n";
            if (!body.empty() && body.back() == '\r') {
                body.remove_suffix(1);
                ending = "\r\n";
            }
            if (!eolSeen) doc.eol = ending;
            eolSeen = true;
        } else if (!body.empty() && body.back() == '\r') {
            // The last line's CR belongs to its ending, as it would once a
            // line is added after it; the value stays the same either way.
            body.remove_suffix(1);
            ending = "\r";
        }
        IniLine line = classify(std::string(body), section, inSection);
        line.ending = std::move(ending);
        if (line.kind == IniLine::Kind::Section) {
            section = line.section;
            inSection = true;
        }
        doc.lines.push_back(std::move(line));
        pos = nl == std::string_view::npos ? text.size() : nl + 1;
    }
    return doc;
}

std::string serializeIni(const IniDocument& doc) {
    std::string out;
    for (const IniLine& line : doc.lines) {
        out += line.raw;
        out += line.ending;
    }
    return out;
}

std::optional<std::string> iniValue(const IniDocument& doc, std::string_view section,
                                    std::string_view key) {
    for (const IniLine& line : doc.lines)
        if (line.kind == IniLine::Kind::Entry && line.inSection && sameName(line.section, section) &&
            sameName(line.key, key))
            return line.value;
    return std::nullopt;
}

void setIniValue(IniDocument& doc, std::string_view section, std::string_view key,
                 std::string_view value) {
    // An existing entry: keep everything up to its "=", replace the value.
    for (IniLine& line : doc.lines) {
        if (line.kind != IniLine::Kind::Entry || !line.inSection || !sameName(line.section, section) ||
            !sameName(line.key, key))
            continue;
        const std::string prefix = line.raw.substr(0, line.raw.find('=') + 1);
        line.raw = prefix + quoteValue(singleLine(value));
        line.value = unquoteValue(quoteValue(singleLine(value)));
        return;
    }
    // An existing section: add the key after its last entry (or its header),
    // so comments and blank lines that lead into the next section stay there.
    for (std::size_t i = 0; i < doc.lines.size(); ++i) {
        if (doc.lines[i].kind != IniLine::Kind::Section || !sameName(doc.lines[i].section, section)) continue;
        std::size_t after = i;
        for (std::size_t j = i + 1; j < doc.lines.size() && doc.lines[j].kind != IniLine::Kind::Section; ++j)
            if (doc.lines[j].kind == IniLine::Kind::Entry) after = j;
        endLine(doc.lines[after], doc.eol);
        IniLine entry = entryLine(key, value, doc.eol);
        entry.section = doc.lines[i].section;
        doc.lines.insert(doc.lines.begin() + static_cast<std::ptrdiff_t>(after) + 1, std::move(entry));
        return;
    }
    // A new section at the end, set off by a blank line.
    endLastLine(doc);
    const auto addLine = [&doc](std::string raw) {
        doc.lines.push_back(classify(std::move(raw), "", false));
        doc.lines.back().ending = doc.eol;
    };
    if (!doc.lines.empty() && doc.lines.back().kind != IniLine::Kind::Blank) addLine("");
    addLine("[" + std::string(section) + "]");
    IniLine entry = entryLine(key, value, doc.eol);
    entry.section = std::string(section);
    doc.lines.push_back(std::move(entry));
}

std::string withIniValue(std::string_view text, std::string_view section, std::string_view key,
                         std::string_view value) {
    IniDocument doc = parseIni(text);
    setIniValue(doc, section, key, value);
    return serializeIni(doc);
}

}  // namespace shop::settings
