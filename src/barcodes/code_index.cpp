#include "code_index.h"

#include "check_digit.h"

namespace shop::barcodes {

void CodeIndex::assign(const std::vector<CodeEntry>& entries) {
    m_goods.clear();
    m_goods.reserve(entries.size());
    for (const CodeEntry& e : entries) m_goods.emplace(e.code, e.goods);
}

const std::string* CodeIndex::exactly(const std::string& code) const {
    const auto it = m_goods.find(code);
    return it == m_goods.end() ? nullptr : &it->second;
}

const std::string* CodeIndex::goodsOf(std::string_view code) const {
    const std::string key(code);
    if (const std::string* goods = exactly(key)) return goods;
    if (codeKind(key) == CodeKind::UpcA) return exactly(ean13Form(key));
    if (codeKind(key) == CodeKind::Ean13 && key.front() == '0') return exactly(key.substr(1));
    return nullptr;
}

std::unordered_map<std::string, std::vector<std::string>> codesByGoods(
    const std::vector<CodeEntry>& entries) {
    std::unordered_map<std::string, std::vector<std::string>> out;
    for (const CodeEntry& e : entries) out[e.goods].push_back(e.code);
    return out;
}

}  // namespace shop::barcodes
