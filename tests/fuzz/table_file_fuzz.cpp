// Any bytes copied in as a table file. Opening either refuses the file or
// gives a table whose every field reads back; nothing crashes, nothing runs,
// and nothing but the table file itself is left in its folder.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
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
void readEverything(bool sound) {
    const auto desc = fields();
    FUZZ_CHECK(!desc.empty());
    const int n = recordCount();
    FUZZ_CHECK(n >= 0);
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Scratch& s = scratch();
    {
        std::ofstream out(s.file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    const std::string verdict = checkIntegrity(s.file);
    if (open(s.file, true)) {
        readEverything(verdict.empty());
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
