// The check digit of the article numbers printed under a bar symbol: EAN-13,
// EAN-8, UPC-A and ITF-14 all end in one digit computed by the same mod-10
// rule, so that a misread or mistyped digit is caught at the counter.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace shop::barcodes {

// Whether the text is nothing but the ASCII digits 0-9 (and not empty).
bool allDigits(std::string_view text);

// The check digit for the digits before it: weights 3 and 1 alternate from
// the rightmost digit leftwards; the check digit brings the sum to a
// multiple of ten. The input must be all digits.
char checkDigitFor(std::string_view body);

// The kinds of article number a scanner reads at a till.
enum class CodeKind { Ean8, UpcA, Ean13, Itf14 };

// The kind a text of digits has by its length (8, 12, 13 or 14 digits);
// nullopt for any other length or for anything but digits.
std::optional<CodeKind> codeKind(std::string_view code);

// Whether the code is one of those kinds and its last digit is right.
bool checkDigitValid(std::string_view code);

// The same number as 13 digits: a UPC-A code is an EAN-13 code with a
// leading 0, and is found under either form. Other codes come back as they
// are.
std::string ean13Form(std::string_view code);

// The digits followed by their check digit.
std::string withCheckDigit(std::string_view body);

}  // namespace shop::barcodes
