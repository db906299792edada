// In-store codes: the EAN-13 labels a shop's own scale prints for weighed
// and counted goods. They begin with a digit the shop keeps for itself (2)
// and carry a goods number and the amount of that one label, either the
// price in fen or the weight in grams. Which digit means what is a layout,
// written as letters:
//
//   0-9  that very digit (a label begins with it)
//   F    a flag digit the scale sets; part of the goods' key
//   C    the goods number
//   P    the label's price in fen
//   W    the label's weight in grams
//   K    the check digit (always last)
//
// The goods of a label is the barcode-table entry whose code is the label's
// digits at the fixed, F and C places, in order: "2 F CCCCC PPPPP K" makes
// 2712345001236 the goods of code 2712345, at 12.3 yuan.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace shop::barcodes {

enum class LabelAmount { Price, Weight };

struct StoreLayout {
    std::string pattern;  // 13 letters as above, blanks removed
    LabelAmount amount = LabelAmount::Price;
};

// The layout of a text such as "2 F CCCCC PPPPP K" (blanks anywhere); nullopt
// unless it is 13 letters of the set above, ends in its one K, begins with a
// fixed digit, and has one unbroken run of C and one of P or W (not both).
std::optional<StoreLayout> parseLayout(std::string_view text);

// The layout most Chinese shop scales print: 2 F CCCCC PPPPP K.
StoreLayout defaultLayout();

struct StoreRules {
    std::vector<StoreLayout> layouts;   // tried in order; the first that fits wins
    std::vector<std::string> problems;  // "line 3: ..." for lines not taken
};

// The rules of a rule file's text: one layout a line; blank lines and lines
// beginning with # are ignored. A file without one valid layout gives the
// default layout, so a broken file never leaves the scale's labels unread.
StoreRules parseRules(std::string_view text);
// The rule file at `path`; a missing file gives the default layout.
StoreRules loadRules(const std::string& path);
// The rule file's name in the settings folder, and what a new one holds.
inline constexpr const char* kRulesFile = "店内码规则.txt";
std::string defaultRulesText();

struct StoreLabel {
    std::string goodsCode;  // looked up in the barcode table
    LabelAmount amount = LabelAmount::Price;
    std::int64_t value = 0;  // fen or grams
};

// The label a 13-digit code with a valid check digit is, by the first layout
// whose fixed digits it carries; nullopt when none fits.
std::optional<StoreLabel> readStoreLabel(const std::vector<StoreLayout>& layouts,
                                         std::string_view code);

// Whether `code` is the key a layout looks goods up by (its fixed digits,
// then as many digits as it has F and C places): the code a weighed goods
// is given in the barcode table.
bool isScaleKey(const std::vector<StoreLayout>& layouts, std::string_view code);

// The price of `grams` of goods at `fenPerKilogram`, rounded half up to
// the fen; saturates rather than wraps.
std::int64_t weighedPrice(std::int64_t fenPerKilogram, std::int64_t grams);

// An in-store code for a counted goods without one of its own: the prefix
// 2, the counter in 11 digits, the check digit. nullopt past 11 digits.
std::optional<std::string> inStoreCode(std::int64_t counter);

}  // namespace shop::barcodes
