#include "check_digit.h"

namespace shop::barcodes {

bool allDigits(std::string_view text) {
    if (text.empty()) return false;
    for (const char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

char checkDigitFor(std::string_view body) {
    int sum = 0;
    int weight = 3;
    for (auto it = body.rbegin(); it != body.rend(); ++it) {
        sum += (*it - '0') * weight;
        weight = weight == 3 ? 1 : 3;
    }
    return static_cast<char>('0' + (10 - sum % 10) % 10);
}

std::optional<CodeKind> codeKind(std::string_view code) {
    if (!allDigits(code)) return std::nullopt;
    switch (code.size()) {
        case 8:
            return CodeKind::Ean8;
        case 12:
            return CodeKind::UpcA;
        case 13:
            return CodeKind::Ean13;
        case 14:
            return CodeKind::Itf14;
        default:
            return std::nullopt;
    }
}

bool checkDigitValid(std::string_view code) {
    if (!codeKind(code)) return false;
    return checkDigitFor(code.substr(0, code.size() - 1)) == code.back();
}

std::string ean13Form(std::string_view code) {
    if (codeKind(code) == CodeKind::UpcA) return "0" + std::string(code);
    return std::string(code);
}

std::string withCheckDigit(std::string_view body) {
    std::string code(body);
    code += checkDigitFor(body);
    return code;
}

}  // namespace shop::barcodes
