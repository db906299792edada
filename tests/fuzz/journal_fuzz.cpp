// The sale journal, which every start reads from whatever `*.journal` files
// the run folder holds. Two kinds of input, told apart by the first byte:
//
// raw bytes: any file. Reading never fails badly; reading it from a file in
// pieces of any size gives what reading it in memory gives; a list it yields
// is one a journal can hold again, unchanged.
//
// well-framed entries: a script of changes of a list, written as the log's
// own entries. The whole log gives the scripted list; cut anywhere in its
// last entry it gives the list before that change; one byte changed in any
// entry gives the list before that entry and never passes as whole. The
// journal writer, following the same lists, leaves a journal that reads back
// as the last of them.
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "checkout/journal_file.h"
#include "checkout/sale_journal.h"
#include "checkout/sale_log.h"
#include "fuzz_check.h"

using namespace shop::checkout;

namespace {

// Hands out the bytes in pieces whose sizes the input picks.
class PieceSource : public LogSource {
public:
    PieceSource(std::string_view bytes, std::uint8_t seed) : m_bytes(bytes), m_seed(seed) {}
    std::optional<std::size_t> read(char* out, std::size_t n) override {
        m_seed = static_cast<std::uint8_t>(m_seed * 37 + 11);
        const std::size_t count =
            std::min({n, m_bytes.size(), static_cast<std::size_t>(m_seed % 23) + 1});
        std::copy_n(m_bytes.data(), count, out);
        m_bytes.remove_prefix(count);
        return count;
    }

private:
    std::string_view m_bytes;
    std::uint8_t m_seed;
};

std::string scratchFile() {
    const char* tmp = std::getenv("TMPDIR");
    return (std::filesystem::path(tmp ? tmp : "/tmp") /
            ("journal-fuzz-" + std::to_string(::getpid()) + ".journal"))
        .string();
}

bool sameReplay(const LogReplay& a, const LogReplay& b) {
    return a.sale == b.sale && a.end == b.end && a.changes == b.changes;
}

void rawBytes(std::string_view bytes, std::uint8_t seed) {
    const LogReplay replay = replayLog(bytes);
    PieceSource pieces(bytes, seed);
    FUZZ_CHECK(sameReplay(replayLog(pieces, bytes.size()), replay));
    if (replay.sale) {
        const std::string again = std::string(kLogHeader) + snapshotEntry(*replay.sale);
        FUZZ_CHECK(replayLog(again).sale == replay.sale);
        FUZZ_CHECK(replayLog(again).end == LogEnd::Whole);
    }
    const auto old = decodeJournal(bytes);
    if (old) FUZZ_CHECK(decodeJournal(encodeJournal(*old)) == old);

    // The file reader says what the readers in memory say.
    const std::string path = scratchFile();
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    const JournalContents read = loadJournal(path);
    FUZZ_CHECK(read.sale == (isLog(bytes) ? replay.sale : old));
    FUZZ_CHECK(read.damaged == (isLog(bytes) && replay.end == LogEnd::Damaged));
    std::filesystem::remove(path);
}

// Reads a script: each step is one change of the list, as the till makes them.
class Script {
public:
    explicit Script(std::string_view bytes) : m_bytes(bytes) {}
    bool done() const { return m_bytes.empty(); }
    std::uint8_t byte() {
        if (m_bytes.empty()) return 0;
        const auto b = static_cast<std::uint8_t>(m_bytes.front());
        m_bytes.remove_prefix(1);
        return b;
    }
    std::string text() {
        const std::size_t n = std::min<std::size_t>(byte() % 16, m_bytes.size());
        std::string out(m_bytes.substr(0, n));
        m_bytes.remove_prefix(n);
        return out;
    }

private:
    std::string_view m_bytes;
};

void wellFramed(std::string_view bytes) {
    Script script(bytes);
    const std::uint8_t cutAt = script.byte(), flipAt = script.byte(), flipTo = script.byte();
    OpenSale sale{"销售数据2024年3月5日14时7分9秒.edb", script.byte(), {}};
    std::string log(kLogHeader);
    std::vector<std::size_t> ends;  // where each entry ends
    std::vector<OpenSale> states;   // the list after each entry
    const auto put = [&](const std::string& entry) {
        log += entry;
        ends.push_back(log.size());
        states.push_back(sale);
    };
    put(snapshotEntry(sale));
    while (!script.done() && states.size() < 64) {
        const std::uint8_t op = script.byte();
        switch (op % 4) {
            case 0: {
                SaleRow row{script.text(), script.text(), script.text(), script.text()};
                sale.rows.push_back(row);
                put(addEntry(row));
                break;
            }
            case 1:
                if (sale.rows.empty()) break;
                {
                    const std::size_t at = script.byte() % sale.rows.size();
                    sale.rows.erase(sale.rows.begin() + static_cast<std::ptrdiff_t>(at));
                    put(deleteEntry(at));
                }
                break;
            case 2:
                sale.rows.clear();
                put(clearEntry());
                break;
            default:
                sale.recorded = script.byte();
                put(snapshotEntry(sale));
                break;
        }
    }
    const LogReplay whole = replayLog(log);
    FUZZ_CHECK(whole.end == LogEnd::Whole);
    FUZZ_CHECK(whole.sale == states.back());
    FUZZ_CHECK(whole.changes == states.size() - 1);

    // Cut inside the last entry: the change in flight when the run ended.
    const std::size_t lastStart = ends.size() > 1 ? ends[ends.size() - 2] : kLogHeader.size();
    const std::size_t cut = lastStart + cutAt % (log.size() - lastStart);
    const LogReplay torn = replayLog(std::string_view(log).substr(0, cut));
    FUZZ_CHECK(torn.end == (cut == lastStart ? LogEnd::Whole : LogEnd::TornTail));
    FUZZ_CHECK(torn.sale ==
               (states.size() > 1 ? std::optional(states[states.size() - 2]) : std::nullopt));

    // One byte changed in entry k: the list before it, and never whole.
    const std::size_t at = kLogHeader.size() + (flipAt * 131u) % (log.size() - kLogHeader.size());
    std::string changed = log;
    changed[at] = static_cast<char>(changed[at] ^ (flipTo | 1));
    std::size_t k = 0;
    while (ends[k] <= at) ++k;
    const LogReplay hurt = replayLog(changed);
    FUZZ_CHECK(hurt.end != LogEnd::Whole);
    FUZZ_CHECK(hurt.sale == (k > 0 ? std::optional(states[k - 1]) : std::nullopt));
    if (k + 1 < ends.size()) FUZZ_CHECK(hurt.end == LogEnd::Damaged);

    // The writer, following the same lists, ends with the last of them.
    const std::string path = scratchFile();
    {
        int recorded = states.front().recorded;
        SaleJournal journal(path, states.front().salesTable, recorded);
        for (const OpenSale& state : states) {
            if (state.recorded != recorded) journal.setRecorded(recorded = state.recorded);
            FUZZ_CHECK(journal.update(state.rows));
            FUZZ_CHECK(journal.holds(state.rows));
        }
    }
    const JournalContents written = loadJournal(path);
    FUZZ_CHECK(written.sale == states.back());
    FUZZ_CHECK(!written.damaged);
    removeFile(path);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    if (data[0] % 2 == 0)
        rawBytes(rest, data[0]);
    else
        wellFramed(rest);
    return 0;
}
