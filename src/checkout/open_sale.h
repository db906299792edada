// The open checkout list of a run as text: what a journal restores. The whole
// list has one text form ("shop-open-sale 1", the journal file of earlier
// versions and the snapshot inside a change log); the pieces it is made of
// (numbers, byte-counted texts, rows) also make up the log's other entries.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "checkout/sale_recording.h"

namespace shop::checkout {

struct OpenSale {
    // File name of the run's sales table ("销售数据<date text>.edb").
    std::string salesTable;
    // Records the sales table held when the rows were last recorded (at the
    // start of the run: what it held then). More records than this means the
    // rows below were stored already.
    int recorded = 0;
    std::vector<SaleRow> rows;
    friend bool operator==(const OpenSale&, const OpenSale&) = default;
};

// The whole list with its header; nullopt for anything that is not one
// whole list.
std::string encodeJournal(const OpenSale& sale);
std::optional<OpenSale> decodeJournal(std::string_view text);

// The same without the header line.
std::string encodeSaleBody(const OpenSale& sale);
std::optional<OpenSale> decodeSaleBody(std::string_view text);

// A text as "<byte count>:<bytes>": any byte may appear in a cell.
void putText(std::string& out, std::string_view text);
// The four cells of a row, each as a text, then a line end.
void putRow(std::string& out, const SaleRow& row);

// Reads the pieces back, front to back; every read fails on anything else.
class TextReader {
public:
    explicit TextReader(std::string_view text) : m_text(text) {}

    bool literal(std::string_view word);
    std::optional<long long> number();  // not negative
    std::optional<std::string> text();
    std::optional<SaleRow> row();
    bool atEnd() const { return m_at == m_text.size(); }

private:
    std::string_view m_text;
    std::size_t m_at = 0;
};

}  // namespace shop::checkout
