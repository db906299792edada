// Shared pieces of the table facility tests: a scratch folder per test and
// small helpers to fill and inspect tables.
#pragma once

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "storage/table.h"

namespace shop::storage::testing {

inline std::vector<FieldDesc> fourTexts(int maxLength = 255) {
    return {{"名字", FieldType::Text, maxLength},
            {"价格", FieldType::Text, maxLength},
            {"数量", FieldType::Text, maxLength},
            {"时间", FieldType::Text, maxLength}};
}

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// Runs SQL on a file directly, the way another program could change it.
inline bool rawExec(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    bool ok = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK &&
              sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
    if (!ok && db) ADD_FAILURE() << sqlite3_errmsg(db);
    sqlite3_close(db);
    return ok;
}

// The text every test record carries, so a torn or shifted record shows.
inline std::string cellText(int record, int field) {
    return "记录" + std::to_string(record) + "-" + std::to_string(field);
}

// Appends records [from, to] with cellText values into the current table.
inline bool appendRecords(int from, int to, int fieldCount = 4) {
    for (int r = from; r <= to; ++r) {
        if (!appendBlank()) return false;
        for (int f = 1; f <= fieldCount; ++f)
            if (!writeText(f, cellText(r, f))) return false;
    }
    return true;
}

// A fresh folder per test; every table of the thread is closed afterwards.
class TableTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "shop-table-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        m_dir = pattern;
    }
    void TearDown() override {
        closeAll();
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
    }
    std::string path(const std::string& name) const { return m_dir + "/" + name; }
    const std::string& dir() const { return m_dir; }

    // Files in the folder, hidden ones included.
    std::vector<std::string> folderFiles() const {
        std::vector<std::string> out;
        for (const auto& e : std::filesystem::directory_iterator(m_dir))
            out.push_back(e.path().filename().string());
        return out;
    }

    // Creates and opens a table of four text fields holding `records` records.
    std::string makeTable(const std::string& name, int records) {
        const std::string p = path(name);
        EXPECT_TRUE(create(p, fourTexts()));
        EXPECT_TRUE(open(p));
        Batch batch;
        EXPECT_TRUE(appendRecords(1, records));
        EXPECT_TRUE(batch.commit());
        return p;
    }

private:
    std::string m_dir;
};

}  // namespace shop::storage::testing
