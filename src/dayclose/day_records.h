// What the day close reads: the runs of the till that can hold records of a
// day, each with its tickets and the sales records they leave uncovered.
// Nothing here adds money up; day_figures.h does.
#pragma once

#include <string>
#include <vector>

#include "checkout/ticket_table.h"
#include "storage/date_text.h"

namespace shop::dayclose {

// A sales record no ticket covers: a line an exit recorded with no payment.
struct UnpaidLine {
    int record = 0;  // 1-based, in its sales table
    std::string price, quantity, date;
};

struct RunRecords {
    storage::Moment start;   // the moment the run started, from its table names
    std::string salesTable;  // its sales table's file name ("销售数据<date text>.edb")
    int salesRecords = 0;    // records of the sales table (0 when it has none)
    std::vector<checkout::Ticket> tickets;  // in the order they were stored
    // Its records that no ticket of the run covers, in record order. Only
    // these are read from the sales table: the tickets hold what was paid.
    std::vector<UnpaidLine> unpaid;
};

struct DayRecords {
    std::vector<RunRecords> runs;  // oldest first
    // Tables that are there but could not be read: figures without them
    // would be wrong, and no close may be stored from them.
    std::vector<std::string> unreadable;
};

// Orders moments in time.
bool earlier(const storage::Moment& a, const storage::Moment& b);

// The start moment of a run from one of its table names ("销售数据X.edb" with
// the sales prefix, "小票X.edb" with the ticket prefix); false when the name
// is not of that kind.
bool runStartOf(const std::string& fileName, const std::string& prefix, storage::Moment& start);

// The runs of `day`: every run started on it, and the last run started
// before it, which may have gone on past midnight (runs follow one another,
// so no earlier one can).
DayRecords readDay(const std::string& runDir, const storage::Moment& day);

}  // namespace shop::dayclose
