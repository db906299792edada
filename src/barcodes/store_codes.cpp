#include "store_codes.h"

#include <fstream>
#include <limits>
#include <sstream>

#include "check_digit.h"

namespace shop::barcodes {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Whether every `letter` of the pattern stands in one unbroken run.
bool oneRun(const std::string& pattern, char letter) {
    const auto first = pattern.find(letter);
    if (first == std::string::npos) return false;
    const auto last = pattern.rfind(letter);
    return pattern.find_first_not_of(letter, first) > last;
}

std::string trimmed(std::string_view s) {
    const auto b = s.find_first_not_of(" \t\r");
    if (b == std::string_view::npos) return {};
    const auto e = s.find_last_not_of(" \t\r");
    return std::string(s.substr(b, e - b + 1));
}

}  // namespace

std::optional<StoreLayout> parseLayout(std::string_view text) {
    std::string pattern;
    for (const char c : text) {
        if (c == ' ' || c == '\t') continue;
        if (!isDigit(c) && std::string_view("FCPWK").find(c) == std::string_view::npos)
            return std::nullopt;
        pattern += c;
    }
    if (pattern.size() != 13 || pattern.back() != 'K' || pattern.find('K') != 12)
        return std::nullopt;
    if (!isDigit(pattern.front()) || !oneRun(pattern, 'C')) return std::nullopt;
    const bool price = pattern.find('P') != std::string::npos;
    const bool weight = pattern.find('W') != std::string::npos;
    if (price == weight) return std::nullopt;
    if (!oneRun(pattern, price ? 'P' : 'W')) return std::nullopt;
    return StoreLayout{pattern, price ? LabelAmount::Price : LabelAmount::Weight};
}

StoreLayout defaultLayout() { return *parseLayout("2 F CCCCC PPPPP K"); }

StoreRules parseRules(std::string_view text) {
    StoreRules rules;
    std::istringstream in{std::string(text)};
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        const std::string t = trimmed(line);
        if (t.empty() || t.front() == '#') continue;
        if (auto layout = parseLayout(t))
            rules.layouts.push_back(std::move(*layout));
        else
            rules.problems.push_back("line " + std::to_string(number) + ": " + t);
    }
    if (rules.layouts.empty()) rules.layouts.push_back(defaultLayout());
    return rules;
}

StoreRules loadRules(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return {{defaultLayout()}, {}};
    std::ostringstream text;
    text << file.rdbuf();
    return parseRules(text.str());
}

std::string defaultRulesText() {
    return "# 店内码（电子秤条码）格式，每行一种，从上往下第一种相符的为准。\n"
           "# 数字：固定数字；F：标志位；C：商品编号；P：金额（分）；W：重量（克）；K：校验位。\n"
           "# 商品按“固定数字、F、C”组成的条码在商品条码表中查找。\n"
           "2 F CCCCC PPPPP K\n";
}

std::optional<StoreLabel> readStoreLabel(const std::vector<StoreLayout>& layouts,
                                         std::string_view code) {
    if (code.size() != 13 || !checkDigitValid(code)) return std::nullopt;
    for (const StoreLayout& layout : layouts) {
        StoreLabel label{{}, layout.amount, 0};
        bool fits = true;
        for (std::size_t i = 0; i < 13 && fits; ++i) {
            const char p = layout.pattern[i];
            if (isDigit(p)) fits = p == code[i];
            if (isDigit(p) || p == 'F' || p == 'C')
                label.goodsCode += code[i];
            else if (p == 'P' || p == 'W')
                label.value = label.value * 10 + (code[i] - '0');
        }
        if (fits) return label;
    }
    return std::nullopt;
}

bool isScaleKey(const std::vector<StoreLayout>& layouts, std::string_view code) {
    if (!allDigits(code)) return false;
    for (const StoreLayout& layout : layouts) {
        // The layout's letters at the places its goods are keyed by.
        std::string key;
        for (const char p : layout.pattern)
            if (isDigit(p) || p == 'F' || p == 'C') key += p;
        if (key.size() != code.size()) continue;
        bool fits = true;
        for (std::size_t i = 0; i < key.size(); ++i)
            if (isDigit(key[i]) && key[i] != code[i]) fits = false;
        if (fits) return true;
    }
    return false;
}

std::int64_t weighedPrice(std::int64_t fenPerKilogram, std::int64_t grams) {
    if (fenPerKilogram <= 0 || grams <= 0) return 0;
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    // Whole kilograms and the grams left, so that only a price beyond any
    // real one can overflow.
    const std::int64_t kilos = grams / 1000, rest = grams % 1000;
    if (kilos > 0 && fenPerKilogram > kMax / kilos) return kMax;
    const std::int64_t whole = fenPerKilogram * kilos;
    const std::int64_t part =
        fenPerKilogram / 1000 * rest + (fenPerKilogram % 1000 * rest + 500) / 1000;
    return whole > kMax - part ? kMax : whole + part;
}

std::optional<std::string> inStoreCode(std::int64_t counter) {
    if (counter < 0) return std::nullopt;
    std::string digits = std::to_string(counter);
    if (digits.size() > 11) return std::nullopt;
    return withCheckDigit("2" + std::string(11 - digits.size(), '0') + digits);
}

}  // namespace shop::barcodes
