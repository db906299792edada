#include "sales_query.h"

#include <algorithm>
#include <map>
#include <string_view>

#include "storage/data_paths.h"
#include "storage/table.h"
#include "storage/text.h"

namespace shop::performance {

namespace {

using storage::Moment;

constexpr std::string_view kDayMark = "日";
constexpr std::string_view kExtension = ".edb";
constexpr int kSalesFields = 4;
constexpr int kPriceCell = 1;
constexpr int kQuantityCell = 2;

// Day count of the range: last minus first, plus one; 0 or less means none.
long long dayCount(const Moment& first, const Moment& last) {
    if (!storage::isValid(first) || !storage::isValid(last)) return 0;
    return storage::dayNumber(last) - storage::dayNumber(first) + 1;
}

// Reads every record of the current table into the rows, fields 1 to 4 as
// text. A table with fewer than four fields is not a sales table: skipped.
bool readSalesTable(std::vector<SalesRow>& rows) {
    if (storage::fields().size() < kSalesFields) return false;
    const int count = storage::recordCount();
    for (int i = 0; i < count; ++i) {
        SalesRow row;
        for (int f = 0; f < kSalesFields; ++f) row[f] = storage::readText(f + 1);
        rows.push_back(std::move(row));
        storage::skip(1);
    }
    return true;
}

// Opens a joined name read-only, selects it by its path and reads it.
void tryTable(const std::string& runDir, const std::string& fileName, SalesQueryResult& result) {
    const std::string path = storage::joinPath(runDir, storage::kSalesFolder, fileName);
    ++result.openAttempts;
    const int openBefore = storage::openCount();
    if (!storage::open(path, true)) return;
    if (storage::openCount() > openBefore) result.openedTables.push_back(path);
    if (!storage::select(path)) return;
    if (readSalesTable(result.rows)) ++result.tablesRead;
}

// A listed name that some day of the range joined with a time part gives:
// "销售数据" + date part of that day + time part + ".edb".
struct DayTable {
    long long day;
    std::string fileName;
};

// Listed names that are "day name + time part + .edb" for a day of the range,
// by time part, each list in day order. A day name has exactly one "日", at
// its end, so a name splits into day name and time part at its first "日".
std::map<std::string, std::vector<DayTable>, std::less<>> indexByTimePart(
    const std::vector<std::string>& listed, const Moment& first, const Moment& last) {
    std::map<std::string, std::vector<DayTable>, std::less<>> index;
    const std::string_view prefix = storage::kSalesPrefix;
    const long long firstDay = storage::dayNumber(first), lastDay = storage::dayNumber(last);
    for (const std::string& name : listed) {
        const std::string_view view = name;
        if (!view.starts_with(prefix) || !view.ends_with(kExtension)) continue;
        const std::size_t mark = view.find(kDayMark, prefix.size());
        if (mark == std::string_view::npos) continue;
        const std::size_t timeStart = mark + kDayMark.size();
        if (timeStart > view.size() - kExtension.size()) continue;
        const std::string_view datePart = view.substr(prefix.size(), timeStart - prefix.size());
        const auto day = storage::parseDateText(datePart);
        // Only the exact rendering of a day is ever joined: 2024年03月05日 is not.
        if (!day || storage::datePartText(*day) != datePart) continue;
        const long long number = storage::dayNumber(*day);
        if (number < firstDay || number > lastDay) continue;
        const std::string time(view.substr(timeStart, view.size() - kExtension.size() - timeStart));
        index[time].push_back({number, name});
    }
    for (auto& [time, tables] : index)
        std::sort(tables.begin(), tables.end(), [](const DayTable& a, const DayTable& b) { return a.day < b.day; });
    return index;
}

}  // namespace

Moment normalisedDay(const Moment& day) {
    const auto parsed = storage::parseDateText(storage::dateText(day.dateOnly()));
    return parsed ? *parsed : day;
}

std::vector<std::string> dayNames(const Moment& firstDay, const Moment& lastDay) {
    std::vector<std::string> names;
    const long long count = dayCount(firstDay, lastDay);
    if (count <= 0) return names;
    const long long first = storage::dayNumber(firstDay);
    names.reserve(static_cast<std::size_t>(count));
    for (long long i = 0; i < count; ++i)
        names.push_back(storage::kSalesPrefix + storage::datePartText(storage::fromDayNumber(first + i)));
    return names;
}

std::string timePart(const std::string& listedName) {
    return storage::textBetween(listedName, std::string(kDayMark), std::string(kExtension));
}

void addTotals(SalesQueryResult& result) {
    result.revenue = 0;
    result.quantity = 0;
    for (const SalesRow& row : result.rows) {
        result.revenue += storage::leadingDouble(row[kPriceCell]);
        result.quantity += storage::leadingInt(row[kQuantityCell]);
    }
}

SalesQueryResult runSalesQuery(const SalesQuery& query) {
    SalesQueryResult result;
    const Moment first = normalisedDay(query.firstDay);
    const Moment last = normalisedDay(query.lastDay);
    const std::vector<std::string> listed =
        query.listFolder ? query.listFolder(storage::DataPaths{query.runDir}.salesFolder(), "*.*")
                         : std::vector<std::string>{};
    result.listedAny = !listed.empty();

    if (dayCount(first, last) > 0) {
        if (query.onlyListedNames) {
            // Every listed file still leads to the tables of its time part, in
            // day order; only the joined names that are no file are passed over.
            const auto index = indexByTimePart(listed, first, last);
            for (const std::string& name : listed) {
                const auto tables = index.find(timePart(name));
                if (tables == index.end()) continue;
                for (const DayTable& table : tables->second) tryTable(query.runDir, table.fileName, result);
            }
        } else {
            const std::vector<std::string> days = dayNames(first, last);
            for (const std::string& name : listed) {
                const std::string time = timePart(name);
                for (const std::string& day : days) tryTable(query.runDir, day + time + ".edb", result);
            }
        }
    }
    addTotals(result);
    return result;
}

}  // namespace shop::performance
