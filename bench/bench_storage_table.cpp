// The table facility against plain SQLite doing the same work in one process
// (a plain table with four text columns, same durability settings). The
// RawCells pairs do the same work with plain SQLite on the facility's own
// layout (one row per record and one per written field), without the checks
// a file from anywhere gets: they tell the cost of the layout from the cost
// of the checks and the facility's own work.
//   OpenLookupClose   open a 100,000-record table, look up the last record by
//                     position, read its four fields, close
//   AppendBatch       append 10,000 four-field records in one batch
//   ReadLoop          read loop over 100,000 four-field records
//   OpenMissing       open a file that does not exist
//   WriteOne          one write outside a batch (durable when it returns)
//   OpenYearOfDays    open, count and close 365 day tables of 30 records,
//                     as the one-year performance query does
//   ReadNameBesidePhoto  open a table of 100 employees with a 440 KB photo
//                     each, read the last one's name, close (the photo must
//                     never load; the raw floor keeps its photo column last,
//                     so SQLite stops before the photo's overflow pages)
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "storage/schemas.h"
#include "storage/table.h"
#include "storage/table_format.h"

namespace {

using namespace shop::storage;

constexpr int kRecords = 100000;
constexpr int kAppended = 10000;

std::string cell(int record, int field) {
    return "商品" + std::to_string(record) + "-" + std::to_string(field);
}

std::vector<FieldDesc> fourTexts() {
    return {{"名字", FieldType::Text, 255},
            {"价格", FieldType::Text, 255},
            {"数量", FieldType::Text, 255},
            {"时间", FieldType::Text, 255}};
}

void check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "benchmark setup failed: %s\n", what);
        std::abort();
    }
}

sqlite3* rawOpen(const std::string& path, int flags) {
    sqlite3* db = nullptr;
    check(sqlite3_open_v2(path.c_str(), &db, flags, nullptr) == SQLITE_OK, "raw open");
    sqlite3_exec(db, "PRAGMA journal_mode=DELETE;PRAGMA synchronous=EXTRA", nullptr, nullptr,
                 nullptr);
    return db;
}

void rawExec(sqlite3* db, const char* sql) {
    check(sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK, sqlite3_errmsg(db));
}

// Appends records [from, to] to a plain table t(a, b, c, d) in one transaction.
void rawAppend(sqlite3* db, int from, int to) {
    rawExec(db, "BEGIN IMMEDIATE");
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO t(a, b, c, d) VALUES(?, ?, ?, ?)", -1, &st, nullptr);
    for (int r = from; r <= to; ++r) {
        std::string v[4];
        for (int f = 0; f < 4; ++f) {
            v[f] = cell(r, f + 1);
            sqlite3_bind_text(st, f + 1, v[f].data(), static_cast<int>(v[f].size()), SQLITE_STATIC);
        }
        check(sqlite3_step(st) == SQLITE_DONE, "raw insert");
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    rawExec(db, "COMMIT");
}

void appendRecords(int from, int to) {
    for (int r = from; r <= to; ++r) {
        check(appendBlank(), "append");
        for (int f = 1; f <= 4; ++f) check(writeText(f, cell(r, f)), "write");
    }
}

// One folder with a table of kRecords records in each format, made once.
struct Files {
    std::string dir, table, raw;

    Files() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "shop-bench-XXXXXX").string();
        check(::mkdtemp(pattern.data()) != nullptr, "temp folder");
        dir = pattern;
        table = dir + "/销售数据.edb";
        raw = dir + "/raw.db";
        check(create(table, fourTexts()) && open(table), "create table");
        {
            Batch b;
            appendRecords(1, kRecords);
            check(b.commit(), "commit");
        }
        closeAll();
        sqlite3* db = rawOpen(raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        rawExec(db, "CREATE TABLE t(a TEXT, b TEXT, c TEXT, d TEXT)");
        rawAppend(db, 1, kRecords);
        sqlite3_close(db);
    }
    ~Files() {
        closeAll();
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
};

Files& files() {
    static Files f;
    return f;
}

void OpenLookupClose(benchmark::State& state) {
    const std::string& p = files().table;
    for (auto _ : state) {
        check(open(p), "open");
        skip(kRecords - 1);
        for (int f = 1; f <= 4; ++f) benchmark::DoNotOptimize(readField(f));
        close();
    }
}
BENCHMARK(OpenLookupClose)->Unit(benchmark::kMicrosecond);

void RawOpenLookupClose(benchmark::State& state) {
    const std::string& p = files().raw;
    for (auto _ : state) {
        sqlite3* db = rawOpen(p, SQLITE_OPEN_READWRITE);
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, "SELECT a, b, c, d FROM t WHERE rowid = ?", -1, &st, nullptr);
        sqlite3_bind_int(st, 1, kRecords);
        check(sqlite3_step(st) == SQLITE_ROW, "raw lookup");
        for (int f = 0; f < 4; ++f)
            benchmark::DoNotOptimize(
                std::string(reinterpret_cast<const char*>(sqlite3_column_text(st, f))));
        sqlite3_finalize(st);
        sqlite3_close(db);
    }
}
BENCHMARK(RawOpenLookupClose)->Unit(benchmark::kMicrosecond);

// The values of record `rec` (fields 1..4) in the facility's layout.
const char* const kCellsOfRecords =
    "SELECT id, value FROM cells WHERE id BETWEEN ?1 AND ?2 ORDER BY id";

void RawCellsOpenLookupClose(benchmark::State& state) {
    const std::string& p = files().table;
    for (auto _ : state) {
        sqlite3* db = rawOpen(p, SQLITE_OPEN_READWRITE);
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, kCellsOfRecords, -1, &st, nullptr);
        sqlite3_bind_int64(st, 1, format::cellId(kRecords, 0));
        sqlite3_bind_int64(st, 2, format::cellId(kRecords, 4));
        int values = 0;
        while (sqlite3_step(st) == SQLITE_ROW) {
            benchmark::DoNotOptimize(
                std::string(reinterpret_cast<const char*>(sqlite3_column_text(st, 1))));
            ++values;
        }
        check(values == 4, "raw cells lookup");
        sqlite3_finalize(st);
        sqlite3_close(db);
    }
}
BENCHMARK(RawCellsOpenLookupClose)->Unit(benchmark::kMicrosecond);

void AppendBatch(benchmark::State& state) {
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const std::string p = files().dir + "/append" + std::to_string(round++) + ".edb";
        check(create(p, fourTexts()) && open(p), "create");
        state.ResumeTiming();
        {
            Batch b;
            appendRecords(1, kAppended);
            check(b.commit(), "commit");
        }
        close();
        state.PauseTiming();
        std::filesystem::remove(p);
        state.ResumeTiming();
    }
}
BENCHMARK(AppendBatch)->Unit(benchmark::kMillisecond);

void RawAppendBatch(benchmark::State& state) {
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const std::string p = files().dir + "/rawappend" + std::to_string(round++) + ".db";
        sqlite3* db = rawOpen(p, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        rawExec(db, "CREATE TABLE t(a TEXT, b TEXT, c TEXT, d TEXT)");
        state.ResumeTiming();
        rawAppend(db, 1, kAppended);
        sqlite3_close(db);
        state.PauseTiming();
        std::filesystem::remove(p);
        state.ResumeTiming();
    }
}
BENCHMARK(RawAppendBatch)->Unit(benchmark::kMillisecond);

void RawCellsAppendBatch(benchmark::State& state) {
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const std::string p = files().dir + "/rawcells" + std::to_string(round++) + ".db";
        sqlite3* db = rawOpen(p, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        rawExec(db, format::kRecordsSql);
        rawExec(db, format::kCellsSql);
        state.ResumeTiming();
        rawExec(db, "BEGIN IMMEDIATE");
        sqlite3_stmt* record = nullptr;
        sqlite3_stmt* cellSt = nullptr;
        sqlite3_prepare_v2(db, "INSERT INTO records(deleted) VALUES(0)", -1, &record, nullptr);
        sqlite3_prepare_v2(db, "INSERT INTO cells(id, value) VALUES(?, ?)", -1, &cellSt, nullptr);
        for (int r = 1; r <= kAppended; ++r) {
            check(sqlite3_step(record) == SQLITE_DONE, "raw record");
            sqlite3_reset(record);
            for (int f = 1; f <= 4; ++f) {
                const std::string v = cell(r, f);
                sqlite3_bind_int64(cellSt, 1, format::cellId(r, f));
                sqlite3_bind_text(cellSt, 2, v.data(), static_cast<int>(v.size()), SQLITE_STATIC);
                check(sqlite3_step(cellSt) == SQLITE_DONE, "raw cell");
                sqlite3_reset(cellSt);
            }
        }
        sqlite3_finalize(record);
        sqlite3_finalize(cellSt);
        rawExec(db, "COMMIT");
        sqlite3_close(db);
        state.PauseTiming();
        std::filesystem::remove(p);
        state.ResumeTiming();
    }
}
BENCHMARK(RawCellsAppendBatch)->Unit(benchmark::kMillisecond);

void ReadLoop(benchmark::State& state) {
    const std::string& p = files().table;
    for (auto _ : state) {
        check(open(p), "open");
        const int n = recordCount();
        std::size_t bytes = 0;
        for (int i = 1; i <= n; ++i) {
            for (int f = 1; f <= 4; ++f) bytes += readText(f).size();
            skip(1);
        }
        close();
        benchmark::DoNotOptimize(bytes);
    }
}
BENCHMARK(ReadLoop)->Unit(benchmark::kMillisecond);

void RawReadLoop(benchmark::State& state) {
    const std::string& p = files().raw;
    for (auto _ : state) {
        sqlite3* db = rawOpen(p, SQLITE_OPEN_READWRITE);
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, "SELECT a, b, c, d FROM t ORDER BY rowid", -1, &st, nullptr);
        std::size_t bytes = 0;
        while (sqlite3_step(st) == SQLITE_ROW)
            for (int f = 0; f < 4; ++f)
                bytes +=
                    std::string(reinterpret_cast<const char*>(sqlite3_column_text(st, f))).size();
        sqlite3_finalize(st);
        sqlite3_close(db);
        benchmark::DoNotOptimize(bytes);
    }
}
BENCHMARK(RawReadLoop)->Unit(benchmark::kMillisecond);

void RawCellsReadLoop(benchmark::State& state) {
    const std::string& p = files().table;
    for (auto _ : state) {
        sqlite3* db = rawOpen(p, SQLITE_OPEN_READWRITE);
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, "SELECT id, value FROM cells ORDER BY id", -1, &st, nullptr);
        std::size_t bytes = 0, values = 0;
        while (sqlite3_step(st) == SQLITE_ROW) {
            bytes += std::string(reinterpret_cast<const char*>(sqlite3_column_text(st, 1))).size();
            ++values;
        }
        check(values == 4 * kRecords, "raw cells read loop");
        sqlite3_finalize(st);
        sqlite3_close(db);
        benchmark::DoNotOptimize(bytes);
    }
}
BENCHMARK(RawCellsReadLoop)->Unit(benchmark::kMillisecond);

void WriteOne(benchmark::State& state) {
    const std::string p = files().dir + "/write.edb";
    check(create(p, fourTexts()) && open(p), "create");
    appendRecords(1, 100);
    int round = 0;
    for (auto _ : state) check(writeText(1, cell(round++, 1)), "write");
    close();
    std::filesystem::remove(p);
}
BENCHMARK(WriteOne)->Unit(benchmark::kMicrosecond);

void RawWriteOne(benchmark::State& state) {
    const std::string p = files().dir + "/rawwrite.db";
    sqlite3* db = rawOpen(p, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    rawExec(db, "CREATE TABLE t(a TEXT, b TEXT, c TEXT, d TEXT)");
    rawAppend(db, 1, 100);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "UPDATE t SET a = ? WHERE rowid = 1", -1, &st, nullptr);
    int round = 0;
    for (auto _ : state) {
        const std::string v = cell(round++, 1);
        sqlite3_bind_text(st, 1, v.data(), static_cast<int>(v.size()), SQLITE_STATIC);
        check(sqlite3_step(st) == SQLITE_DONE, "raw write");
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    std::filesystem::remove(p);
}
BENCHMARK(RawWriteOne)->Unit(benchmark::kMicrosecond);

void OpenYearOfDays(benchmark::State& state) {
    static const std::vector<std::string> days = [] {
        std::vector<std::string> out;
        for (int d = 1; d <= 365; ++d) {
            out.push_back(files().dir + "/day" + std::to_string(d) + ".edb");
            check(create(out.back(), fourTexts()) && open(out.back()), "create day");
            Batch b;
            appendRecords(1, 30);
            check(b.commit(), "commit day");
            close();
        }
        return out;
    }();
    for (auto _ : state) {
        int records = 0;
        for (const std::string& p : days) {
            check(open(p, true), "open day");
            records += recordCount();
            close();
        }
        check(records == 365 * 30, "day records");
    }
}
BENCHMARK(OpenYearOfDays)->Unit(benchmark::kMillisecond);

constexpr int kEmployees = 100;
constexpr int kNameField = schemas::employee_field::kName;

std::string photo(int record) {
    return std::string(schemas::kPhotoLimit - 10000, static_cast<char>(record));
}
std::string employeeName(int record) { return "员工" + std::to_string(record); }

// The employee table and the same records in a plain table whose photo
// column comes last, made once.
struct Employees {
    std::string table, raw;

    Employees() : table(files().dir + "/员工.edb"), raw(files().dir + "/employees.db") {
        const auto fields = schemas::employee();
        check(create(table, fields) && open(table), "create employees");
        {
            Batch b;
            for (int r = 1; r <= kEmployees; ++r) {
                check(appendBlank() && writeField(1, Value::bytes(photo(r))) &&
                          writeText(kNameField, employeeName(r)),
                      "write employee");
            }
            check(b.commit(), "commit employees");
        }
        close();
        sqlite3* db = rawOpen(raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        std::string columns;
        for (std::size_t f = 2; f <= fields.size(); ++f) columns += "f" + std::to_string(f) + ", ";
        rawExec(db, ("CREATE TABLE t(" + columns + "photo BLOB)").c_str());
        rawExec(db, "BEGIN IMMEDIATE");
        sqlite3_stmt* st = nullptr;
        const std::string insert =
            "INSERT INTO t(f" + std::to_string(kNameField) + ", photo) VALUES(?, ?)";
        sqlite3_prepare_v2(db, insert.c_str(), -1, &st, nullptr);
        for (int r = 1; r <= kEmployees; ++r) {
            const std::string name = employeeName(r), picture = photo(r);
            sqlite3_bind_text(st, 1, name.data(), static_cast<int>(name.size()), SQLITE_STATIC);
            sqlite3_bind_blob(st, 2, picture.data(), static_cast<int>(picture.size()),
                              SQLITE_STATIC);
            check(sqlite3_step(st) == SQLITE_DONE, "raw employee");
            sqlite3_reset(st);
        }
        sqlite3_finalize(st);
        rawExec(db, "COMMIT");
        sqlite3_close(db);
    }
};

const Employees& employees() {
    static Employees e;
    return e;
}

void ReadNameBesidePhoto(benchmark::State& state) {
    const std::string& p = employees().table;
    for (auto _ : state) {
        check(open(p), "open employees");
        skip(kEmployees - 1);
        check(readText(kNameField) == employeeName(kEmployees), "name");
        close();
    }
}
BENCHMARK(ReadNameBesidePhoto)->Unit(benchmark::kMicrosecond);

void RawReadNameBesidePhoto(benchmark::State& state) {
    const std::string& p = employees().raw;
    const std::string select = "SELECT f" + std::to_string(kNameField) + " FROM t WHERE rowid = ?";
    int misses = 0;
    for (auto _ : state) {
        sqlite3* db = rawOpen(p, SQLITE_OPEN_READWRITE);
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, select.c_str(), -1, &st, nullptr);
        sqlite3_bind_int(st, 1, kEmployees);
        check(sqlite3_step(st) == SQLITE_ROW, "raw name");
        check(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)) == employeeName(kEmployees),
              "raw name");
        sqlite3_finalize(st);
        int highwater = 0;
        sqlite3_db_status(db, SQLITE_DBSTATUS_CACHE_MISS, &misses, &highwater, 0);
        sqlite3_close(db);
    }
    // A photo is over a hundred pages: a read that loaded it would miss them all.
    check(misses < 10, "the raw read loaded the photo");
    state.counters["pages_read"] = misses;
}
BENCHMARK(RawReadNameBesidePhoto)->Unit(benchmark::kMicrosecond);

void OpenMissing(benchmark::State& state) {
    const std::string p = files().dir + "/没有.edb";
    for (auto _ : state) benchmark::DoNotOptimize(open(p));
}
BENCHMARK(OpenMissing)->Unit(benchmark::kMicrosecond);

void RawOpenMissing(benchmark::State& state) {
    const std::string p = files().dir + "/missing.db";
    for (auto _ : state) {
        sqlite3* db = nullptr;
        benchmark::DoNotOptimize(sqlite3_open_v2(p.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr));
        sqlite3_close(db);
    }
}
BENCHMARK(RawOpenMissing)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
