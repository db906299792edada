// The open checkout list, kept on disk while the program runs, so that the
// sales of a run that ends without its exit recording (a crash, a kill, a
// power cut) are found at the next start. One journal per run, beside the
// data folders in the run folder: no listing of the sales folder sees it.
//
// The journal is a log (sale_log.h): made whole once, then each change of the
// list appends one self-checking entry and syncs its data, so a crash loses
// at most the change being written, never an earlier one. Journals of earlier
// versions, which held the whole list, are still read.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "checkout/finished_sale.h"
#include "checkout/open_sale.h"
#include "checkout/sale_recording.h"

namespace shop::checkout {

// The journal file of the run whose sales table is `salesTable` (file name).
std::string journalPath(const std::string& runDir, const std::string& salesTable);
// Journals found in the run folder, in name order (the order of the runs).
std::vector<std::string> journalsIn(const std::string& runDir);

// The most a journal may hold. A day's list at a busy till is some thousands
// of rows of about a hundred bytes, well under a megabyte, and the log starts
// again from a snapshot once its changes outgrow the list, so a journal stays
// under about twice its list. This bound holds over 20,000 rows even with
// every cell at its widest, far beyond any real day, while a start that reads
// a journal this big still takes only moments and little memory. A bigger
// file is not a journal this program wrote: it is set aside unread, and no
// change makes one (the change fails, as on a full disk).
inline constexpr std::uint64_t kJournalSizeLimit = 64u << 20;

struct JournalContents {
    std::optional<OpenSale> sale;         // nullopt: not a journal this program can read
    std::optional<FinishedSale> pending;  // a sale cut short while it was being stored
    // Part of the journal failed its check before its end: `sale` is the list
    // as it stood before that part, and later changes are lost.
    bool damaged = false;
    bool oversized = false;  // over kJournalSizeLimit: not read (no `sale`)
};
// Reads the journal as a stream, one entry at a time; a link, a pipe or a
// file over the bound is refused before anything of it is read.
JournalContents loadJournal(const std::string& path);
// The list a journal holds, damaged or not.
std::optional<OpenSale> readJournal(const std::string& path);
// Removes the journal durably; true when it is gone (or was never there).
bool removeJournal(const std::string& path);
// Keeps a journal that cannot be trusted whole under a name no start reads
// again; the new path, or nullopt when it could not be moved.
std::optional<std::string> setJournalAside(const std::string& path);

// The journal of the running program.
class SaleJournal {
public:
    SaleJournal() = default;  // keeps nothing (a run that never started)
    SaleJournal(std::string path, std::string salesTable, int recorded);
    ~SaleJournal();
    SaleJournal(SaleJournal&& other) noexcept;
    SaleJournal& operator=(SaleJournal&& other) noexcept;
    SaleJournal(const SaleJournal&) = delete;
    SaleJournal& operator=(const SaleJournal&) = delete;

    // The list is now these rows; true once the journal durably says so.
    // A journal that cannot be written (a full disk, a folder it may not
    // write) does not stop the sale; the first failure of a spell goes to
    // standard error, and failing() says it until a change is written again.
    bool update(const std::vector<SaleRow>& rows);
    // The last change could not be written: a crash now would lose what the
    // list on screen holds beyond what an earlier journal says.
    bool failing() const { return m_failing; }
    // Whether a journal on disk holds exactly these rows (with the sales
    // table's present record count), so that the next start stores them:
    // the one ground for promising them to that start.
    bool holds(const std::vector<SaleRow>& rows) const;
    // The sales table now holds this many records (some rows were stored);
    // the next update restates the whole list with it.
    void setRecorded(int records);
    // A sale is being stored: its lines leave the list and wait in the
    // journal until landed() says every table holds them. A refund waits
    // the same way beside the open list, which stays.
    bool begin(const FinishedSale& sale);
    // The pending sale is stored; the sales table holds `records` records.
    bool landed(int records);
    const std::optional<FinishedSale>& pending() const { return m_pending; }

    // The rows are stored: no journal is left.
    bool remove();

    const std::string& path() const { return m_path; }

private:
    bool append(const std::string& entry);
    bool restart(const OpenSale& sale);
    void closeFile();
    bool stillNamed() const;

    std::string m_path;
    OpenSale m_sale;  // what the journal on disk says
    std::optional<FinishedSale> m_pending;
    int m_fd = -1;  // open for appending while the log can take entries
    std::uint64_t m_size = 0;
    std::uint64_t m_restartedSize = 0;  // the size right after the last restart
    bool m_restate = false;             // the next update writes a snapshot
    bool m_failing = false;
};

}  // namespace shop::checkout
