#include "open_sale.h"

#include <charconv>
#include <cstdint>
#include <system_error>

namespace shop::checkout {

namespace {
constexpr std::string_view kHeader = "shop-open-sale 1\n";
}  // namespace

void putText(std::string& out, std::string_view text) {
    out += std::to_string(text.size());
    out += ':';
    out += text;
}

void putRow(std::string& out, const SaleRow& row) {
    for (const std::string* cell : {&row.name, &row.price, &row.quantity, &row.date})
        putText(out, *cell);
    out += '\n';
}

bool TextReader::literal(std::string_view word) {
    if (m_text.substr(m_at, word.size()) != word) return false;
    m_at += word.size();
    return true;
}

std::optional<long long> TextReader::number() {
    long long value = 0;
    const char* first = m_text.data() + m_at;
    const auto [end, ec] = std::from_chars(first, m_text.data() + m_text.size(), value);
    if (ec != std::errc() || value < 0) return std::nullopt;
    m_at += static_cast<std::size_t>(end - first);
    return value;
}

std::optional<std::string> TextReader::text() {
    const auto size = number();
    if (!size || !literal(":") || static_cast<std::size_t>(*size) > m_text.size() - m_at)
        return std::nullopt;
    std::string out(m_text.substr(m_at, static_cast<std::size_t>(*size)));
    m_at += out.size();
    return out;
}

std::optional<SaleRow> TextReader::row() {
    SaleRow row;
    for (std::string* cell : {&row.name, &row.price, &row.quantity, &row.date}) {
        auto value = text();
        if (!value) return std::nullopt;
        *cell = std::move(*value);
    }
    if (!literal("\n")) return std::nullopt;
    return row;
}

std::string encodeSaleBody(const OpenSale& sale) {
    std::string out = "table ";
    putText(out, sale.salesTable);
    out += "\nrecorded " + std::to_string(sale.recorded) + "\nrows " +
           std::to_string(sale.rows.size()) + "\n";
    for (const SaleRow& row : sale.rows) putRow(out, row);
    out += "end\n";
    return out;
}

std::optional<OpenSale> decodeSaleBody(std::string_view text) {
    TextReader in(text);
    OpenSale sale;
    if (!in.literal("table ")) return std::nullopt;
    auto table = in.text();
    if (!table || !in.literal("\nrecorded ")) return std::nullopt;
    sale.salesTable = std::move(*table);
    const auto recorded = in.number();
    if (!recorded || *recorded > INT32_MAX || !in.literal("\nrows ")) return std::nullopt;
    sale.recorded = static_cast<int>(*recorded);
    const auto count = in.number();
    if (!count || !in.literal("\n") || static_cast<std::size_t>(*count) > text.size())
        return std::nullopt;
    for (long long i = 0; i < *count; ++i) {
        auto row = in.row();
        if (!row) return std::nullopt;
        sale.rows.push_back(std::move(*row));
    }
    // The end marker: a list cut short is no list.
    if (!in.literal("end\n") || !in.atEnd()) return std::nullopt;
    return sale;
}

std::string encodeJournal(const OpenSale& sale) {
    return std::string(kHeader) + encodeSaleBody(sale);
}

std::optional<OpenSale> decodeJournal(std::string_view text) {
    if (text.substr(0, kHeader.size()) != kHeader) return std::nullopt;
    return decodeSaleBody(text.substr(kHeader.size()));
}

}  // namespace shop::checkout
