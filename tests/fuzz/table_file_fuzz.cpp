// Any bytes copied in as a table file. Opening either refuses the file or
// gives a table whose every field reads back; nothing crashes, nothing runs,
// and nothing but the table file itself is left in its folder.
#include <sqlite3.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "fuzz_check.h"
#include "storage/table.h"
#include "storage/text.h"

namespace fs = std::filesystem;
using namespace shop::storage;

namespace {

// One private folder per process, removed at exit.
struct Scratch {
    fs::path dir;
    std::string file;
    Scratch() {
        std::string tmpl = (fs::temp_directory_path() / "shop-fuzz-XXXXXX").string();
        dir = mkdtemp(tmpl.data());
        file = (dir / "表.edb").string();
    }
    ~Scratch() {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
};

Scratch& scratch() {
    static Scratch s;
    return s;
}

// Everything in the folder apart from the table file itself.
bool onlyTheTableFile(const Scratch& s) {
    for (const auto& entry : fs::directory_iterator(s.dir))
        if (entry.path().string() != s.file) return false;
    return true;
}

// A sound file also keeps the read loop's promises; a damaged one only must
// not crash (its answers may contradict each other).
void readEverything(bool sound, std::size_t fileSize) {
    const auto desc = fields();
    FUZZ_CHECK(!desc.empty());
    const int n = recordCount();
    FUZZ_CHECK(n >= 0);
    // Readers size their lists by the count: it never claims more records
    // than the file has bytes.
    FUZZ_CHECK(static_cast<std::size_t>(n) <= fileSize);
    // Stop early for huge files; the loop itself is what matters.
    for (int i = 0; i < n && i < 2000; ++i) {
        for (int f = 1; f <= static_cast<int>(desc.size()); ++f) {
            const auto v = readField(f);
            if (v && v->isText()) FUZZ_CHECK(isValidUtf8(v->data));
        }
        deletionMark();
        skip(1);
    }
    if (!sound) return;
    FUZZ_CHECK(recordCount() == n);
    // Past the end reads nothing.
    skip(n + 1);
    FUZZ_CHECK(!readField(1).has_value());
}

// Byte flips rarely keep a page valid enough to change what a reader relies
// on most, the record numbering; these edits change record numbers and
// counts through SQLite, so the pages stay well formed.
std::size_t mutateRecords(std::uint8_t* data, std::size_t size, std::size_t maxSize,
                          unsigned seed) {
    static const Scratch work;
    const std::string file = (work.dir / "mutate.db").string();
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    std::minstd_rand rng(seed);
    static const char* const edits[] = {
        "UPDATE records SET rec = ?1 WHERE rec = (SELECT max(rec) FROM records)",
        "INSERT OR IGNORE INTO records(rec) VALUES(?1)",
        "DELETE FROM records WHERE rec = (SELECT min(rec) FROM records)",
        ("UPDATE OR IGNORE cells SET id = (?1 << 8) | (id & 255) WHERE id = (SELECT max(id) FROM "
         "cells)"),
        "INSERT INTO records(deleted) SELECT deleted FROM records",
        "UPDATE OR IGNORE fields SET pos = ?1 WHERE pos = (SELECT max(pos) FROM fields)",
    };
    static const std::int64_t numbers[] = {
        0, -1, 1, 2, 3, 255, 256, 30000000, 2147483646, 2147483647, 2147483648LL, 9000000000000LL};
    sqlite3* db = nullptr;
    sqlite3_stmt* st = nullptr;
    bool ok =
        sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK &&
        sqlite3_prepare_v2(db, edits[rng() % std::size(edits)], -1, &st, nullptr) == SQLITE_OK;
    if (ok) {
        sqlite3_bind_int64(
            st, 1,
            rng() % 4 ? numbers[rng() % std::size(numbers)] : static_cast<std::int64_t>(rng()));
        ok = sqlite3_step(st) == SQLITE_DONE;
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    std::ifstream in(file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    if (!ok || bytes.empty() || bytes.size() > maxSize) return 0;
    std::copy(bytes.begin(), bytes.end(), data);
    return bytes.size();
}

}  // namespace

// Provided by libFuzzer; absent when the inputs are only replayed.
extern "C" __attribute__((weak)) std::size_t LLVMFuzzerMutate(std::uint8_t* data, std::size_t size,
                                                              std::size_t maxSize);

extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t* data, std::size_t size,
                                               std::size_t maxSize, unsigned seed) {
    if (seed % 4 == 0)
        if (const std::size_t n = mutateRecords(data, size, maxSize, seed)) return n;
    return LLVMFuzzerMutate(data, size, maxSize);
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Scratch& s = scratch();
    {
        std::ofstream out(s.file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    const std::string verdict = checkIntegrity(s.file);
    if (open(s.file, true)) {
        readEverything(verdict.empty(), size);
        closeAll();
    }
    // A file that passes the check must also take a write and stay sound.
    if (verdict.empty()) {
        FUZZ_CHECK(open(s.file));
        const auto desc = fields();
        FUZZ_CHECK(appendBlank());
        const std::string one = desc[0].maxLength >= 1 ? "1" : "";
        const Value v = desc[0].type == FieldType::Text ? Value::text(one) : Value::bytes(one);
        FUZZ_CHECK(writeField(1, v));
        const auto back = readField(1);
        FUZZ_CHECK(back && back->data == one);
        closeAll();
        FUZZ_CHECK(checkIntegrity(s.file).empty());
    }
    FUZZ_CHECK(onlyTheTableFile(s));
    return 0;
}
