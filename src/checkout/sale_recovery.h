// At start, the sales of earlier runs that ended without their exit
// recording: each journal left in the run folder is appended to that run's
// own sales table (created if it is missing) and then removed.
#pragma once

#include <string>
#include <vector>

#include "storage/data_paths.h"

namespace shop::checkout {

struct RecoveredRun {
    std::string run;     // the date text of the run's start (the journal's file name if unreadable)
    int rows = 0;        // rows the journal held
    int unstorable = 0;  // rows with a cell too long for the table (not stored)
    bool stored = false;  // false: nothing stored, the journal stays for the next start
    // Part of the journal failed its check: the rows are the list as it
    // stood before that part, later changes are lost.
    bool damaged = false;
    // Not a journal this program can read (or one naming no sales table):
    // nothing stored.
    bool unreadable = false;
    // Where a damaged or unreadable journal was kept (empty: it could not be
    // moved and stays where it is).
    std::string keptAs;
    // Unreadable because it is over the bound a journal may be: not read.
    bool oversized = false;
    // A sale paid for but cut short while it was being stored (its receipt
    // number, "-" for an exit recording), and whether it is finished now.
    std::string finishedReceipt;
    bool finishedRefund = false;  // that was a refund
    bool finishedStored = false;
};

// Recovers every journal in the run folder, oldest run first. A journal whose
// rows the table already holds (the run stored them, then ended before it
// removed its journal) is removed without storing them twice. A journal that
// is damaged or cannot be read is kept under another name, once reported, so
// no later start reads it again. Leaves no table of the runs open.
std::vector<RecoveredRun> recoverOpenSales(const storage::DataPaths& paths);

}  // namespace shop::checkout
