#include "sales_query.h"

#include <algorithm>
#include <atomic>
#include <iterator>
#include <map>
#include <string_view>
#include <thread>
#include <tuple>

#include "sale_line.h"
#include "storage/data_paths.h"
#include "storage/money.h"
#include "storage/table.h"
#include "storage/table_read_all.h"
#include "storage/text.h"

namespace shop::performance {

namespace {

using storage::Moment;

constexpr std::string_view kDayMark = "日";
constexpr std::string_view kExtension = ".edb";
constexpr int kSalesFields = 4;
constexpr std::size_t kMostWorkers = 4;

// Day count of the range: last minus first, plus one; 0 or less means none.
long long dayCount(const Moment& first, const Moment& last) {
    if (!storage::isValid(first) || !storage::isValid(last)) return 0;
    return storage::dayNumber(last) - storage::dayNumber(first) + 1;
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
    // A listing that names a file twice still leads to it once.
    for (auto& [time, tables] : index) {
        std::sort(tables.begin(), tables.end(), [](const DayTable& a, const DayTable& b) {
            return std::tie(a.day, a.fileName) < std::tie(b.day, b.fileName);
        });
        tables.erase(std::unique(tables.begin(), tables.end(),
                                 [](const DayTable& a, const DayTable& b) {
                                     return a.fileName == b.fileName;
                                 }),
                     tables.end());
    }
    return index;
}

// Reads every table on a few worker threads; the result is in the order of
// the paths. Each table is read through a connection of its own, so nothing
// the workers read touches the tables of the calling thread.
std::vector<SalesTableRead> readInParallel(const std::vector<std::string>& paths) {
    std::vector<SalesTableRead> tables(paths.size());
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        for (std::size_t i = next++; i < paths.size(); i = next++)
            tables[i] = readSalesTable(paths[i]);
    };
    std::vector<std::jthread> threads;
    for (std::size_t w = 0, n = queryWorkers(paths.size()); w < n; ++w) threads.emplace_back(work);
    threads.clear();  // joins: every table is read before the result leaves
    return tables;
}

}  // namespace

std::size_t queryWorkers(std::size_t tables) {
    return std::min<std::size_t>(
        {std::max(1u, std::thread::hardware_concurrency()), kMostWorkers, tables});
}

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
        names.push_back(storage::kSalesPrefix +
                        storage::datePartText(storage::fromDayNumber(first + i)));
    return names;
}

std::string timePart(const std::string& listedName) {
    return storage::textBetween(listedName, std::string(kDayMark), std::string(kExtension));
}

std::vector<std::string> salesTablesInRange(const std::vector<std::string>& listed,
                                            const Moment& firstDay, const Moment& lastDay) {
    std::vector<std::string> order;
    if (dayCount(firstDay, lastDay) <= 0) return order;
    auto index = indexByTimePart(listed, firstDay, lastDay);
    for (const std::string& name : listed) {
        const auto tables = index.find(timePart(name));
        if (tables == index.end()) continue;
        for (DayTable& table : tables->second) order.push_back(std::move(table.fileName));
        // Later files with the same time of day lead to the same tables.
        index.erase(tables);
    }
    return order;
}

SalesTableRead readSalesTable(const std::string& path) {
    storage::TableContents table = storage::readAllRecords(path, kSalesFields);
    SalesTableRead read;
    read.missing = table.status.code() == storage::Status::Code::NotFound;
    read.opened = table.opened;
    read.whole = table.status.ok();
    if (!table.opened || table.fields.size() < kSalesFields) return read;
    read.rows.resize(table.recordCount());
    auto cell = table.cells.begin();
    for (SalesRow& row : read.rows)
        for (std::string& value : row) value = std::move(*cell++);
    return read;
}

void addTotals(SalesQueryResult& result) {
    result.revenueFen = 0;
    result.quantity = 0;
    for (const SalesRow& row : result.rows) {
        const SaleLine line = saleLine(row);
        result.revenueFen = storage::plusFen(result.revenueFen, line.amountFen);
        result.quantity += line.quantity;
    }
    result.revenue = static_cast<double>(result.revenueFen) / 100;
}

SalesQueryResult runSalesQuery(const SalesQuery& query) {
    SalesQueryResult result;
    const Moment first = normalisedDay(query.firstDay);
    const Moment last = normalisedDay(query.lastDay);
    const std::vector<std::string> listed =
        query.listFolder ? query.listFolder(storage::DataPaths{query.runDir}.salesFolder(), "*.*")
                         : std::vector<std::string>{};
    result.listedAny = !listed.empty();
    result.reversedRange = dayCount(first, last) <= 0;
    const std::vector<std::string> names = salesTablesInRange(listed, first, last);
    std::vector<std::string> paths;
    for (const std::string& name : names)
        paths.push_back(storage::joinPath(query.runDir, storage::kSalesFolder, name));

    std::vector<SalesTableRead> tables = readInParallel(paths);
    std::size_t total = 0;
    const std::string* lastRead = nullptr;
    for (std::size_t i = 0; i < tables.size(); ++i) {
        // A file gone since the listing held no sales; any other failure did.
        if (!tables[i].whole && !tables[i].missing) result.unreadableTables.push_back(names[i]);
        if (!tables[i].opened) continue;
        total += tables[i].rows.size();
        lastRead = &paths[i];
    }
    result.rows.reserve(total);
    for (SalesTableRead& table : tables) {
        std::move(table.rows.begin(), table.rows.end(), std::back_inserter(result.rows));
        table.rows = {};
    }
    sortBySaleMoment(result.rows);
    addTotals(result);

    // The last table read stays open and current in this thread.
    const int openBefore = storage::openCount();
    if (lastRead && storage::open(*lastRead, true) && storage::openCount() > openBefore)
        result.openedTables.push_back(*lastRead);
    return result;
}

}  // namespace shop::performance
