// The mod-10 check digit of EAN-13, EAN-8, UPC-A and ITF-14 codes.
#include "barcodes/check_digit.h"

#include <gtest/gtest.h>

namespace shop::barcodes {
namespace {

TEST(CheckDigit, IsRightForEachKindAndCatchesAChangedDigit) {
    const struct {
        const char* code;
        CodeKind kind;
    } valid[] = {
        {"6901234567892", CodeKind::Ean13},  {"4006381333931", CodeKind::Ean13},
        {"96385074", CodeKind::Ean8},        {"036000291452", CodeKind::UpcA},
        {"12345678901231", CodeKind::Itf14}, {"2712345001236", CodeKind::Ean13},
    };
    for (const auto& v : valid) {
        const std::string code = v.code;
        EXPECT_EQ(codeKind(code), v.kind) << code;
        EXPECT_TRUE(checkDigitValid(code)) << code;
        EXPECT_EQ(withCheckDigit(code.substr(0, code.size() - 1)), code);
        // Any one digit changed, check digit included, is caught.
        for (std::size_t i = 0; i < code.size(); ++i) {
            std::string wrong = code;
            wrong[i] = static_cast<char>('0' + (wrong[i] - '0' + 3) % 10);
            EXPECT_FALSE(checkDigitValid(wrong)) << wrong;
        }
    }
}

TEST(CheckDigit, OnlyDigitsOfTheFourLengthsAreCodes) {
    for (const char* notACode : {"", "1234567", "123456789", "690123456789210", "690123456789x",
                                 "6901234 67892", "１２３４５６７８", "-96385074"}) {
        EXPECT_FALSE(codeKind(notACode).has_value()) << notACode;
        EXPECT_FALSE(checkDigitValid(notACode)) << notACode;
    }
}

TEST(CheckDigit, UpcAIsTheEan13WithALeadingZero) {
    const struct {
        const char* code;
        const char* ean13;
    } cases[] = {{"036000291452", "0036000291452"},
                 {"6901234567892", "6901234567892"},
                 {"96385074", "96385074"}};
    for (const auto& c : cases) {
        EXPECT_EQ(ean13Form(c.code), c.ean13) << c.code;
        EXPECT_TRUE(checkDigitValid(ean13Form(c.code))) << "the same check digit";
    }
}

}  // namespace
}  // namespace shop::barcodes
