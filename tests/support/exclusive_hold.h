// Another connection holds a table file's exclusive lock for its lifetime,
// the way another program in the middle of a long write does. Header-only
// and free of Qt, so the storage tests can use it too.
#pragma once

#include <sqlite3.h>

#include <string>

namespace shop::test {

class ExclusiveHold {
public:
    explicit ExclusiveHold(const std::string& path) {
        sqlite3_open_v2(path.c_str(), &m_db, SQLITE_OPEN_READWRITE, nullptr);
        m_held = sqlite3_exec(m_db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) == SQLITE_OK;
    }
    ~ExclusiveHold() {
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(m_db);
    }
    ExclusiveHold(const ExclusiveHold&) = delete;
    ExclusiveHold& operator=(const ExclusiveHold&) = delete;

    bool held() const { return m_held; }

private:
    sqlite3* m_db = nullptr;
    bool m_held = false;
};

}  // namespace shop::test
