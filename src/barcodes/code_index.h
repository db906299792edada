// The barcode table in memory, for the counter: a scan must find its goods
// in well under a millisecond among a hundred thousand codes.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "barcode_table.h"

namespace shop::barcodes {

class CodeIndex {
public:
    CodeIndex() = default;
    explicit CodeIndex(const std::vector<CodeEntry>& entries) { assign(entries); }

    // Replaces the index. A code stored twice keeps its first goods, as a
    // lookup in the table in record order would find it.
    void assign(const std::vector<CodeEntry>& entries);
    std::size_t size() const { return m_goods.size(); }

    // The goods of a code, or null. A 12-digit UPC-A code is found under its
    // EAN-13 form too, and an EAN-13 code beginning with 0 under its UPC-A
    // form, whichever of the two was stored.
    const std::string* goodsOf(std::string_view code) const;

private:
    const std::string* exactly(const std::string& code) const;

    std::unordered_map<std::string, std::string> m_goods;
};

// The codes of every goods, each goods' codes in table order.
std::unordered_map<std::string, std::vector<std::string>> codesByGoods(
    const std::vector<CodeEntry>& entries);

}  // namespace shop::barcodes
