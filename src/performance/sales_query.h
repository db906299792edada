// The sales query behind the performance window: which sales tables belong to
// a range of days, their records, and the three totals of the pie chart.
//
// Sales tables are found by name only: "销售数据" + date text of a run's start
// + ".edb". The listed files of the sales folder are walked in listing order;
// the first file that carries a time of day (the text between "日" and
// ".edb") leads to every table of the range with that time of day, in day
// order. Each table is read once, however many listed files share its time
// of day, and a name that is no sales table adds nothing of its own. The
// rows then come ordered by their sale moment.
//
// A sales table that cannot be read is never taken for one without sales:
// the result names it, and its totals are then known to be incomplete.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "storage/date_text.h"

namespace shop::performance {

// One sales record as the list shows it: name, price, quantity, time.
using SalesRow = std::array<std::string, 4>;
// The captions of the four columns, wherever the rows are shown or exported.
inline constexpr const char* kSalesCaptions[] = {"销售名称", "销售价格", "销售销量", "销售时间"};

// Lists a folder: names (without folder) matching a wildcard pattern, in the
// order the file system gives them.
using FolderLister =
    std::function<std::vector<std::string>(const std::string& folder, const std::string& pattern)>;

struct SalesQuery {
    std::string runDir;
    storage::Moment firstDay;
    storage::Moment lastDay;
    FolderLister listFolder;
};

struct SalesQueryResult {
    std::vector<SalesRow> rows;
    // Whether the listing found any name: only then does the window show the
    // row count (an empty folder leaves the previous count standing).
    bool listedAny = false;
    // Money taken: price times quantity, summed over the rows in whole fen;
    // `revenue` is the same in yuan, as the chart takes it.
    std::int64_t revenueFen = 0;
    double revenue = 0;
    double quantity = 0;  // sum of the integers at the start of the quantity cells
    // The last day lies before the first: the range holds no day at all.
    bool reversedRange = false;
    // File names of the range's sales tables that could not be read, or
    // only in part, in the order the query read them. Whatever rows could
    // be read are in `rows`; the totals lack the rest.
    std::vector<std::string> unreadableTables;
    bool complete() const { return unreadableTables.empty(); }
    // Paths that this query added to the calling thread's open-table set
    // (a table open before it, such as the run's own sales table, is not).
    std::vector<std::string> openedTables;
};

// The day as date text and parsed back, as the date pickers hand it over:
// the time of day is dropped. An invalid day comes back unchanged.
storage::Moment normalisedDay(const storage::Moment& day);

// "销售数据" + date part of each day from first to last, in order; empty when
// the last day is before the first.
std::vector<std::string> dayNames(const storage::Moment& firstDay, const storage::Moment& lastDay);

// The time of day a listed name carries: the text between its first "日" and
// the next ".edb"; empty for a midnight table or a name without the markers.
std::string timePart(const std::string& listedName);

// File names of the sales tables among `listed` whose start day lies in the
// range, each once, in the order the query reads them (see above). A name
// counts only when its date is rendered exactly as the day's date text.
std::vector<std::string> salesTablesInRange(const std::vector<std::string>& listed,
                                            const storage::Moment& firstDay,
                                            const storage::Moment& lastDay);

// What reading one sales table gave.
struct SalesTableRead {
    std::vector<SalesRow> rows;
    bool missing = false;  // no file at the path: nothing to read, nothing lost
    bool opened = false;   // the table opened (its rows may still be partial)
    bool whole = false;    // every value of every record was read
};

// The records of the sales table at `path`, fields 1 to 4 as text, read
// through a read-only connection of its own that is closed again (the
// calling thread's open tables stay as they are). A table that does not
// open gives no rows; a value that cannot be read is empty text and the
// read is not whole. A table with fewer than four fields is no sales table
// and gives no rows.
SalesTableRead readSalesTable(const std::string& path);

// Revenue and quantity of the rows, read from the price and quantity cells:
// the amount at the start of the price cell times the integer at the start
// of the quantity cell ("12元" x "3" is 36; a cell without one counts as 0).
void addTotals(SalesQueryResult& result);

// How many worker threads read `tables` tables: one per core, at most four.
std::size_t queryWorkers(std::size_t tables);

// Runs the whole query. The tables are read on a few worker threads; the
// last table the query read is then opened in the calling thread and left
// current, as the window's close button expects.
SalesQueryResult runSalesQuery(const SalesQuery& query);

}  // namespace shop::performance
