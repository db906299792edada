// The open checkout list, kept on disk while the program runs, so that the
// sales of a run that ends without its exit recording (a crash, a kill, a
// power cut) are found at the next start. One journal per run, beside the
// data folders in the run folder: no listing of the sales folder sees it.
//
// Every update replaces the whole journal atomically (write a temporary file,
// sync it, rename it over the journal, sync the folder), so after a power cut
// the journal holds the list as it stood after some complete update.
#pragma once

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

// The journal's text form and back; nullopt for anything that is not one
// whole journal.
std::string encodeJournal(const OpenSale& sale);
std::optional<OpenSale> decodeJournal(std::string_view text);

// The journal file of the run whose sales table is `salesTable` (file name).
std::string journalPath(const std::string& runDir, const std::string& salesTable);
// Journals found in the run folder, in name order (the order of the runs).
std::vector<std::string> journalsIn(const std::string& runDir);
std::optional<OpenSale> readJournal(const std::string& path);
// Removes the journal durably; true when it is gone (or was never there).
bool removeJournal(const std::string& path);

// The journal of the running program.
class SaleJournal {
public:
    SaleJournal() = default;  // keeps nothing (a run that never started)
    SaleJournal(std::string path, std::string salesTable, int recorded);

    // Replaces the journal with these rows; true once it is durable.
    bool update(const std::vector<SaleRow>& rows);
    // The sales table now holds this many records (some rows were stored);
    // counts from the next update on.
    void setRecorded(int records) { m_sale.recorded = records; }
    // The rows are stored: no journal is left.
    bool remove();

    const std::string& path() const { return m_path; }

private:
    std::string m_path;
    OpenSale m_sale;
};

}  // namespace shop::checkout
