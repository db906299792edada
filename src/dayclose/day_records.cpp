#include "day_records.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <system_error>
#include <tuple>

#include "storage/data_paths.h"
#include "storage/status.h"
#include "storage/table.h"
#include "storage/table_visit.h"

namespace shop::dayclose {

namespace fs = std::filesystem;
namespace st = shop::storage;

namespace {

auto timeKey(const st::Moment& m) {
    return std::tuple(m.year, m.month, m.day, m.hour, m.minute, m.second);
}

struct MomentOrder {
    bool operator()(const st::Moment& a, const st::Moment& b) const { return earlier(a, b); }
};

// Start moments of the runs that left a table with this prefix in `folder`.
void collectRuns(const std::string& folder, const std::string& prefix,
                 std::set<st::Moment, MomentOrder>& runs) {
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        st::Moment start;
        if (runStartOf(it->path().filename().string(), prefix, start)) runs.insert(start);
    }
}

// Which records of the run's sales table its tickets cover (index 1..n).
std::vector<char> coveredRecords(const RunRecords& run, int records) {
    std::vector<char> covered(static_cast<std::size_t>(records) + 1, 0);
    for (const checkout::Ticket& t : run.tickets) {
        const auto range = t.recordRange();
        if (!range) continue;
        for (int r = range->first; r <= std::min(range->second, records); ++r)
            covered[static_cast<std::size_t>(r)] = 1;
    }
    return covered;
}

// Counts the sales table's records and reads the ones no ticket covers.
// The run's own table may be open for the run: the calling thread's
// current table is put back.
bool readUnpaid(const std::string& salesPath, RunRecords& run) {
    const std::string current = st::currentPath();
    bool read = false;
    {
        const st::StatusWatch watch;
        const st::TableVisit visit(salesPath, true);
        const auto count = visit.opened() ? st::countRecords() : std::nullopt;
        if (count && st::fields().size() >= 4) {
            run.salesRecords = *count;
            const std::vector<char> covered = coveredRecords(run, *count);
            for (int r = 1; r <= *count; ++r) {
                if (covered[static_cast<std::size_t>(r)]) continue;
                st::skip(r - st::position());
                run.unpaid.push_back({r, st::readText(2), st::readText(3), st::readText(4)});
            }
            read = !watch.failed();
        }
    }
    if (!current.empty()) st::select(current);
    return read;
}

}  // namespace

bool earlier(const st::Moment& a, const st::Moment& b) { return timeKey(a) < timeKey(b); }

bool runStartOf(const std::string& fileName, const std::string& prefix, st::Moment& start) {
    constexpr std::string_view kExtension = ".edb";
    if (fileName.size() < prefix.size() + kExtension.size() ||
        fileName.compare(0, prefix.size(), prefix) != 0 ||
        fileName.compare(fileName.size() - kExtension.size(), kExtension.size(), kExtension) != 0)
        return false;
    const auto parsed = st::parseDateText(std::string_view(fileName).substr(
        prefix.size(), fileName.size() - prefix.size() - kExtension.size()));
    if (!parsed) return false;
    start = *parsed;
    return true;
}

DayRecords readDay(const std::string& runDir, const st::Moment& day) {
    const st::DataPaths paths{runDir};
    // A run that sold nothing paid has no ticket table, and one whose sales
    // table went missing still has its tickets: both folders name runs.
    std::set<st::Moment, MomentOrder> runs;
    collectRuns(paths.salesFolder(), st::kSalesPrefix, runs);
    collectRuns(paths.ticketFolder(), st::kTicketPrefix, runs);

    const st::Moment dayStart = day.dateOnly();
    auto first = runs.lower_bound(dayStart);
    if (first != runs.begin()) --first;  // the run that was on at midnight
    const st::Moment nextDay = st::fromDayNumber(st::dayNumber(dayStart) + 1);

    DayRecords out;
    std::error_code ec;
    for (auto it = first; it != runs.end() && earlier(*it, nextDay); ++it) {
        RunRecords run;
        run.start = *it;
        const std::string ticketPath = paths.ticketTable(run.start);
        if (fs::exists(ticketPath, ec)) {
            auto tickets = checkout::readTickets(ticketPath);
            if (tickets)
                run.tickets = std::move(*tickets);
            else
                out.unreadable.push_back(ticketPath);
        }
        const std::string salesPath = paths.salesTable(run.start);
        run.salesTable = fs::path(salesPath).filename().string();
        if (fs::exists(salesPath, ec) && !readUnpaid(salesPath, run))
            out.unreadable.push_back(salesPath);
        out.runs.push_back(std::move(run));
    }
    return out;
}

}  // namespace shop::dayclose
