// A scan at the counter, from what the scanner typed to the line it sells.
// A scanner is a keyboard: it types the code's digits and then Enter. The
// cashier may type a quantity and * first ("3*6901234567892" sells three).
// No widget here: the main window hands over the text and shows the result.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "barcodes/code_index.h"
#include "barcodes/store_codes.h"
#include "checkout/goods_lookup.h"
#include "checkout/sale_line.h"

namespace shop::checkout {

struct ScanText {
    std::string code;  // the digits
    int quantity = 1;
};

// Fewest digits a scan has: the shortest article number (EAN-8). A shorter
// run of digits is something the cashier searches for by name.
inline constexpr std::size_t kMinScanDigits = 8;

// The scan in a text: at least kMinScanDigits ASCII digits, optionally after
// a quantity of 1 to kMaxLineQuantity and "*". nullopt for anything else,
// which is left to the search by name.
std::optional<ScanText> readScanText(std::string_view typed);

enum class ScanOutcome {
    Sold,           // `line` is the line to add
    BadCheckDigit,  // not a code: a misread; nothing added
    Unknown,        // a valid code that names no goods
    NotOffered,     // its goods is not in the goods list, or has no price
    Unreadable,     // the catalogue could not be read
};

struct ScanResult {
    ScanOutcome outcome = ScanOutcome::BadCheckDigit;
    std::optional<SaleLine> line;
    std::string hint;  // for the cashier; empty when sold
};

// What a scan needs of the counter.
struct ScanCounter {
    const barcodes::CodeIndex* codes = nullptr;
    const std::vector<barcodes::StoreLayout>* layouts = nullptr;
    // The goods list position of a goods name; -1 when it is not listed.
    std::function<int(const std::string& name)> positionOf;
    // The catalogue's price and stock at a position; nullopt when unreadable.
    std::function<std::optional<GoodsOffer>(int position)> offerAt;
    std::string date;  // the date text the line is sold at
};

// The line a scan sells: the goods of a code at its catalogue price, or the
// goods of a scale label at the label's price (the weight priced by the
// catalogue's price per kilogram), with the scan's quantity.
ScanResult sellScan(const ScanText& scan, const ScanCounter& counter);

// "条码校验错误，请重新扫描" and "条码 <code> 未登记".
std::string badCheckDigitHint();
std::string unknownCodeHint(const std::string& code);

}  // namespace shop::checkout
