// Writes the seed table files for the table fuzz target with the facility as
// it is now, so the fuzzer starts from files that open (committed seeds go
// stale when the file format changes). Usage: make_table_seeds FOLDER
#include <sqlite3.h>

#include <cstdio>
#include <string>
#include <vector>

#include "storage/schemas.h"
#include "storage/table.h"

using namespace shop::storage;

namespace {

bool fill(const std::string& path, const std::vector<FieldDesc>& fields,
          const std::vector<std::vector<std::string>>& rows) {
    if (!create(path, fields) || !open(path)) return false;
    Batch batch;
    bool ok = true;
    for (const auto& row : rows) {
        ok = ok && appendBlank();
        for (std::size_t f = 0; f < row.size(); ++f) {
            const auto pos = static_cast<int>(f) + 1;
            const bool bytes = fields[f].type == FieldType::Bytes;
            ok = ok && writeField(pos, bytes ? Value::bytes(row[f]) : Value::text(row[f]));
        }
    }
    ok = ok && batch.commit();
    closeAll();
    return ok;
}

// Stores text that is not UTF-8 in a text field, behind the facility's back.
bool craftBadText(const std::string& path) {
    if (!fill(path, schemas::sales(), {{"a", "1", "1", "2024年3月5日"}})) return false;
    sqlite3* db = nullptr;
    bool ok = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK &&
              sqlite3_exec(db, "UPDATE cells SET value = CAST(x'c3ff41' AS TEXT)", nullptr, nullptr,
                           nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

// A sound table with one record renumbered behind the facility's back.
bool craftNumbering(const std::string& path, const char* sql) {
    if (!fill(path, schemas::sales(),
              {{"a", "1", "1", "2024年3月5日"}, {"b", "2", "1", "2024年3月5日"}}))
        return false;
    sqlite3* db = nullptr;
    bool ok = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK &&
              sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_table_seeds FOLDER\n");
        return 2;
    }
    const std::string dir = argv[1];
    std::vector<std::string> employee(19, "字段");
    employee[0] = std::string("BM\x00\x01\x02\xff", 6);
    const bool ok =
        fill(dir + "/sales.edb", schemas::sales(),
             {{"矿泉水", "2元", "3", "2024年3月5日14时7分9秒"},
              {"面包", "8.5元", "1", "2024年3月5日14时8分0秒"}}) &&
        fill(dir + "/empty_sales.edb", schemas::sales(), {}) &&
        fill(dir + "/products.edb", schemas::product(),
             {{"牛奶", "6元", "20"}, {"苹果", "3.2元", "40"}}) &&
        fill(dir + "/product_save.edb", schemas::productSave(), {{"牛奶"}, {"苹果"}}) &&
        fill(dir + "/leave.edb", schemas::leave(), {{"2024年3月5日", "2024年3月8日", "同意"}}) &&
        fill(dir + "/salary.edb", schemas::salary(), {{"2024年3月5日", "3500"}}) &&
        fill(dir + "/employee.edb", schemas::employee(), {employee}) &&
        craftBadText(dir + "/regress-text-not-utf8.edb") &&
        craftNumbering(dir + "/regress-record-far.edb",
                       "UPDATE records SET rec = 2147483646 WHERE rec = 2") &&
        craftNumbering(dir + "/regress-record-count.edb",
                       "INSERT INTO records(rec) VALUES(30000000)");
    if (!ok)
        std::fprintf(stderr, "make_table_seeds: cannot write the seeds into %s\n", dir.c_str());
    return ok ? 0 : 1;
}
