// A temporary run folder with the five data folders, the settings folder and
// the three shipped tables, set as the program's run directory for a test.
#pragma once

#include <QTemporaryDir>
#include <string>
#include <vector>

#include "storage/data_paths.h"

namespace shop::test {

class RunFolder {
public:
    RunFolder();  // provisions and installs itself as the run directory
    // The same, in a new folder inside `under` (a disk of the test's own).
    explicit RunFolder(const std::string& under);
    ~RunFolder();  // closes every table of this thread

    const std::string& dir() const { return m_paths.runDir; }
    const storage::DataPaths& paths() const { return m_paths; }

    // Replaces the product table / product-save table with these records.
    void setProducts(const std::vector<std::vector<std::string>>& rows) const;
    void setProductSave(const std::vector<std::string>& names) const;

private:
    void provision();

    QTemporaryDir m_tmp;
    storage::DataPaths m_paths;
};

// Every record of the table at `path` as texts (fields 1..n), read in a
// separate open that leaves this thread's current table as it was.
std::vector<std::vector<std::string>> readAll(const std::string& path);
// Writes the records into the table at `path` (which must exist), after
// emptying it.
void writeAll(const std::string& path, const std::vector<std::vector<std::string>>& rows);

}  // namespace shop::test
