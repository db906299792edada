// The table facility against plain SQLite doing the same work in one process
// (a plain table with four text columns, same durability settings).
//   OpenLookupClose   open a 100,000-record table, look up the last record by
//                     position, read its four fields, close
//   AppendBatch       append 10,000 four-field records in one batch
//   ReadLoop          read loop over 100,000 four-field records
//   OpenMissing       open a file that does not exist
//   WriteOne          one write outside a batch (durable when it returns)
//   OpenYearOfDays    open, count and close 365 day tables of 30 records,
//                     as the one-year performance query does
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "storage/table.h"

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
