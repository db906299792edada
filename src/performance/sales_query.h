// The sales query behind the performance window: which sales tables belong to
// a range of days, their records, and the three totals of the pie chart.
//
// Sales tables are found by name only: "销售数据" + date text of a run's start
// + ".edb". For every listed file of the sales folder its time of day (the
// text between "日" and ".edb") is joined to every day of the range, and each
// joined name that is a table is read. A table whose time of day several
// listed files share is therefore read once per such file, and a table made
// at midnight is found through every listed name without a time of day. The
// shop has always reported sales this way, so the result keeps it.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "storage/date_text.h"

namespace shop::performance {

// One sales record as the list shows it: name, price, quantity, time.
using SalesRow = std::array<std::string, 4>;

// Lists a folder: names (without folder) matching a wildcard pattern, in the
// order the file system gives them.
using FolderLister = std::function<std::vector<std::string>(const std::string& folder,
                                                            const std::string& pattern)>;

struct SalesQuery {
    std::string runDir;
    storage::Moment firstDay;
    storage::Moment lastDay;
    FolderLister listFolder;
    // Tries to open only the joined names that the listing holds. A name the
    // listing lacks is no file and cannot open, so the result is the same;
    // false tries every pair of listed file and day (kept for comparison).
    bool onlyListedNames = true;
};

struct SalesQueryResult {
    std::vector<SalesRow> rows;
    // Whether the listing found any name: only then does the window show the
    // row count (an empty folder leaves the previous count standing).
    bool listedAny = false;
    double revenue = 0;   // sum of the numbers at the start of the price cells
    double quantity = 0;  // sum of the integers at the start of the quantity cells
    int openAttempts = 0;
    int tablesRead = 0;
    // Paths that this query added to the open-table set (tables that were
    // open before it, such as the run's own sales table, are not among them).
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

// Revenue and quantity of the rows, read from the price and quantity cells.
void addTotals(SalesQueryResult& result);

// Runs the whole query. Every table read is left open, as the window's
// close button expects the last one read to be current.
SalesQueryResult runSalesQuery(const SalesQuery& query);

}  // namespace shop::performance
