// What a table file holds, and whether it is sound, for tests that damage the
// conditions a write runs under (a crash, a full disk) and look afterwards.
#pragma once

#include <string>
#include <vector>

namespace shop::test {

// Every record with every field's stored bytes (photos included), plus the
// deletion marks. Read in a separate open that leaves the caller's tables as
// they were.
struct TableState {
    bool opened = false;
    std::vector<std::vector<std::string>> records;
    std::vector<bool> deleted;

    friend bool operator==(const TableState&, const TableState&) = default;
};

TableState tableState(const std::string& path);

// Exit status of the table tool's "check" command on the file (0: sound).
int toolCheck(const std::string& path);

// Empty when the file is sound by both the facility's check and the table
// tool's "check" command; otherwise what was wrong.
std::string soundnessProblem(const std::string& path);

// Files in the folder other than table files (a journal left behind, a
// temporary file, anything a write put beside the tables).
std::vector<std::string> strayFiles(const std::string& folder);

}  // namespace shop::test
