// Sales tables for the performance tests, made the way the main window makes
// them: "销售数据" + date text of a run's start + ".edb" in the sales folder.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "performance/sales_query.h"
#include "storage/data_paths.h"
#include "storage/schemas.h"
#include "storage/table.h"
#include "support/run_folder.h"

namespace shop::test {

using storage::Moment;
using Records = std::vector<std::vector<std::string>>;

// Creates the sales table of a run started at `start` with these records and
// returns its path; fails the test when the table cannot be made.
inline std::string makeSalesTable(const RunFolder& run, const Moment& start,
                                  const Records& records) {
    const std::string path = run.paths().salesTable(start);
    EXPECT_TRUE(storage::create(path, storage::schemas::sales())) << path;
    if (!records.empty()) writeAll(path, records);
    return path;
}

inline std::string fileNameOf(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

// A lister that hands over exactly these names, in this order.
inline performance::FolderLister fixedListing(std::vector<std::string> names) {
    return [names = std::move(names)](const std::string&, const std::string&) { return names; };
}

// A lister that reads the folder itself (no window events involved).
inline std::vector<std::string> listDirectory(const std::string& folder, const std::string&) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec))
        if (entry.is_regular_file()) names.push_back(entry.path().filename().string());
    return names;
}

inline performance::SalesQuery queryOf(const RunFolder& run, Moment first, Moment last,
                                       performance::FolderLister lister = listDirectory) {
    performance::SalesQuery q;
    q.runDir = run.dir();
    q.firstDay = first;
    q.lastDay = last;
    q.listFolder = std::move(lister);
    return q;
}

// The rows as one vector of records, to compare with what was written.
inline Records asRecords(const std::vector<performance::SalesRow>& rows) {
    Records out;
    for (const auto& row : rows) out.emplace_back(row.begin(), row.end());
    return out;
}

}  // namespace shop::test
