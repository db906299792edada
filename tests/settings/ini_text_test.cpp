// INI text: reading odd files, and writing one key without disturbing any
// other byte of the text.
#include "settings/ini_text.h"

#include <gtest/gtest.h>

#include <random>

namespace shop::settings {
namespace {

std::vector<std::string> rawLines(const std::string& text) {
    std::vector<std::string> out;
    for (const IniLine& l : parseIni(text).lines) out.push_back(l.raw + l.ending);
    return out;
}

TEST(IniRead, FindsKeysOnlyInsideTheirSection) {
    const auto doc = parseIni(
        "gg=before any section\n"
        "; comment gg=no\n"
        "[hggfggt]\n"
        "ffgff=老王超市\n"
        "[cff]\n"
        "  GG  =  张三  \n"
        "# gfd=commented out\n"
        "just some words\n"
        "=no key\n"
        "gfd=01=02\n"
        "[hggfggt\n"  // not a section header: the key below stays in [cff]
        "hnmbv=路\n");
    EXPECT_EQ(iniValue(doc, "hggfggt", "ffgff"), "老王超市");
    EXPECT_EQ(iniValue(doc, "CFF", "gg"), "张三");    // names ignore ASCII case and blanks
    EXPECT_EQ(iniValue(doc, "cff", "gfd"), "01=02");  // only the first "=" separates
    EXPECT_EQ(iniValue(doc, "hggfggt", "gg"), std::nullopt);
    EXPECT_EQ(iniValue(doc, "cff", "hnmbv"), "路");
    EXPECT_EQ(iniValue(doc, "nosuch", "gg"), std::nullopt);
    EXPECT_EQ(iniValue(parseIni(""), "cff", "gg"), std::nullopt);
}

TEST(IniRead, FirstOfDuplicatesWinsAndSectionsMayRepeat) {
    const auto doc = parseIni("[cff]\ngg=a\ngg=b\n[x]\n[cff]\ngfd=c\n");
    EXPECT_EQ(iniValue(doc, "cff", "gg"), "a");
    EXPECT_EQ(iniValue(doc, "cff", "gfd"), "c");
}

TEST(IniRead, HandlesCrlfAndAMissingFinalLineBreak) {
    const auto doc = parseIni("[cff]\r\ngg=甲\r\ngfd=7");
    EXPECT_EQ(iniValue(doc, "cff", "gg"), "甲");
    EXPECT_EQ(iniValue(doc, "cff", "gfd"), "7");
    EXPECT_EQ(doc.eol, "\r\n");
}

TEST(IniRead, EveryKindOfLineEndingEndsALine) {
    const auto doc = parseIni("[cff]\rgg=甲\r\ngfd=7\nhnmbv=路\r");
    EXPECT_EQ(iniValue(doc, "cff", "gg"), "甲");
    EXPECT_EQ(iniValue(doc, "cff", "gfd"), "7");
    EXPECT_EQ(iniValue(doc, "cff", "hnmbv"), "路");
    EXPECT_EQ(doc.eol, "\r");
    EXPECT_EQ(rawLines("a\rb\r\nc\n\r\rd"),
              (std::vector<std::string>{"a\r", "b\r\n", "c\n", "\r", "\r", "d"}));
    // The text overload reads the same without building the lines.
    for (const char* text :
         {"[cff]\rgg=1\r", "gg=0\n[cff]\ngg=1\ngg=2", "[CFF]\r\n gg = \"1\" \r\n", "[cff\ngg=1"})
        EXPECT_EQ(iniValue(std::string_view(text), "cff", "gg"),
                  iniValue(parseIni(text), "cff", "gg"))
            << text;
}

TEST(IniWrite, ReplacesOneLineAndKeepsEveryOther) {
    const std::string text =
        "; header comment\r\n"
        "[hggfggt]\r\n"
        "ffgff = old\r\n"
        "\r\n"
        "odd line\r\n"
        "[cff]\n"
        "gg=x\n";
    const std::string out = withIniValue(text, "HGGFGGT", "ffgff", "新店");
    auto before = rawLines(text), after = rawLines(out);
    ASSERT_EQ(before.size(), after.size());
    for (std::size_t i = 0; i < before.size(); ++i)
        if (i != 2) {
            EXPECT_EQ(before[i], after[i]) << "line " << i;
        }
    EXPECT_EQ(after[2], "ffgff =新店\r\n");
    EXPECT_EQ(iniValue(parseIni(out), "hggfggt", "ffgff"), "新店");
    EXPECT_EQ(iniValue(parseIni(out), "cff", "gg"), "x");
}

TEST(IniWrite, AddsAKeyAfterTheLastEntryOfItsSection) {
    const std::string text = "[cff]\ngg=1\n\n; about the next section\n[next]\nk=v\n";
    const std::string out = withIniValue(text, "cff", "hnmbv", "街道 1 号");
    EXPECT_EQ(out, "[cff]\ngg=1\nhnmbv=街道 1 号\n\n; about the next section\n[next]\nk=v\n");
}

TEST(IniWrite, AddsASectionAtTheEndWithTheTextsLineEnding) {
    EXPECT_EQ(withIniValue("", "cff", "gg", "a"), "[cff]\ngg=a\n");
    EXPECT_EQ(withIniValue("[x]\r\nk=v", "cff", "gg", "a"), "[x]\r\nk=v\r\n\r\n[cff]\r\ngg=a\r\n");
    EXPECT_EQ(withIniValue("[cff]", "cff", "gg", "a"), "[cff]\ngg=a\n");
    EXPECT_EQ(withIniValue("[x]\rk=v\r", "cff", "gg", "a"), "[x]\rk=v\r\r[cff]\rgg=a\r");
}

TEST(IniWrite, ValuesComeBackUnchanged) {
    const std::string values[] = {"",
                                  " leading",
                                  "trailing\t",
                                  "\"quoted\"",
                                  "\"",
                                  "a\"b",
                                  ";not a comment",
                                  "#hash",
                                  "x=y=z",
                                  "[not a section]",
                                  "老王超市（一店）",
                                  std::string(1 << 20, 'v')};
    for (const std::string& v : values) {
        const std::string out = withIniValue("[cff]\ngg=old\n", "cff", "gg", v);
        EXPECT_EQ(iniValue(parseIni(out), "cff", "gg"), v) << v.substr(0, 20);
    }
}

TEST(IniWrite, LineBreaksInAValueBecomeBlanks) {
    const std::string out = withIniValue("[cff]\ngg=1\ngfd=2\n", "cff", "gg", "a\r\nb\nc\rd");
    EXPECT_EQ(iniValue(parseIni(out), "cff", "gg"), "a b c d");
    EXPECT_EQ(iniValue(parseIni(out), "cff", "gfd"), "2");
    EXPECT_EQ(parseIni(out).lines.size(), 3u);
}

// Random texts built from the kinds of line a hand-edited file holds: setting
// one key must read back the value and leave every other key's value as it was.
TEST(IniWrite, RandomFilesKeepEveryOtherKey) {
    std::mt19937 rng(20240305);
    const std::vector<std::string> pieces = {
        "[cff]",          "[hggfggt]", "[ CFF ]", "[other]", "[broken", "gg=1", "gfd = 2",
        "hnmbv=\"  x \"", "ffgff=店",  "k=v",     "; c",     "# c",     "",     "   ",
        "words",          "=v",        "gg",      "\"q\"=z", "a=b=c"};
    const std::vector<std::string> keys = {"gg", "gfd", "hnmbv", "ffgff", "k"};
    const std::vector<std::string> sections = {"cff", "hggfggt", "other", "new"};
    for (int round = 0; round < 2000; ++round) {
        std::string text;
        const int n = static_cast<int>(rng() % 12);
        const char* eol = (rng() % 2) ? "\n" : "\r\n";
        for (int i = 0; i < n; ++i)
            text += pieces[rng() % pieces.size()] + ((i + 1 < n || rng() % 2) ? eol : "");
        const std::string& section = sections[rng() % sections.size()];
        const std::string& key = keys[rng() % keys.size()];
        std::string value;
        for (int i = static_cast<int>(rng() % 6); i > 0; --i)
            value += " \t\"=;[x店\r\n"[rng() % 12];

        const std::string out = withIniValue(text, section, key, value);
        const IniDocument before = parseIni(text), after = parseIni(out);
        ASSERT_EQ(iniValue(after, section, key), singleLine(value)) << text;
        for (const std::string& s : sections)
            for (const std::string& k : keys)
                if (!(s == section && k == key)) {
                    ASSERT_EQ(iniValue(before, s, k), iniValue(after, s, k)) << text;
                }
    }
}

}  // namespace
}  // namespace shop::settings
