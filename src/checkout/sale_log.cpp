#include "sale_log.h"

#include <algorithm>
#include <cstdint>

#include "storage/sha256.h"

namespace shop::checkout {

namespace {

constexpr std::size_t kFrame = 16;  // length, its complement, check
constexpr char kSnapshot = 'S', kAdd = 'A', kDelete = 'D', kClear = 'C', kPending = 'K',
               kLanded = 'F';

void putWord(std::string& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((value >> shift) & 0xFF);
}

std::uint32_t word(std::string_view bytes) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes[static_cast<std::size_t>(i)]);
    return value;
}

std::string check(std::string_view payload) {
    storage::Sha256 sha;
    sha.update(payload);
    const auto digest = sha.finish();
    return std::string(reinterpret_cast<const char*>(digest.data()), 8);
}

std::string framed(std::string_view payload) {
    std::string out;
    out.reserve(kFrame + payload.size());
    const auto size = static_cast<std::uint32_t>(payload.size());
    putWord(out, size);
    putWord(out, ~size);
    out += check(payload);
    out += payload;
    return out;
}

bool allZero(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return c == '\0'; });
}

// The payload of the entry at `at`, which then moves past it; nullopt when
// the entry there is not whole.
std::optional<std::string_view> nextEntry(std::string_view file, std::size_t& at) {
    if (file.size() - at < kFrame) return std::nullopt;
    const std::uint32_t size = word(file.substr(at, 4));
    if (word(file.substr(at + 4, 4)) != ~size || size > file.size() - at - kFrame)
        return std::nullopt;
    const std::string_view payload = file.substr(at + kFrame, size);
    if (file.substr(at + 8, 8) != check(payload)) return std::nullopt;
    at += kFrame + size;
    return payload;
}

// Whether what starts at `at` (an entry that is not whole) can be the one
// change in flight when the run ended: it reaches the end of the file, or
// the rest of the file is zeros (space the file system gave but never filled).
bool tornTail(std::string_view file, std::size_t at) {
    const std::string_view rest = file.substr(at);
    if (rest.size() < kFrame || allZero(rest)) return true;
    const std::uint32_t size = word(rest.substr(0, 4));
    return word(rest.substr(4, 4)) == ~size && size >= rest.size() - kFrame;
}

bool apply(OpenSale& sale, std::optional<FinishedSale>& pending, std::string_view payload) {
    TextReader in(payload.substr(1));
    switch (payload[0]) {
        case kPending:
            if (auto finished = decodeFinishedSale(payload.substr(1))) {
                pending = std::move(*finished);
                sale.rows.clear();  // the list's lines are the pending sale now
                return true;
            }
            return false;
        case kLanded:
            if (auto recorded = in.number(); recorded && in.atEnd() && *recorded <= INT32_MAX) {
                pending.reset();
                sale.recorded = static_cast<int>(*recorded);
                return true;
            }
            return false;
        case kSnapshot:
            if (auto whole = decodeSaleBody(payload.substr(1))) {
                sale = std::move(*whole);
                return true;
            }
            return false;
        case kAdd:
            if (auto row = in.row(); row && in.atEnd()) {
                sale.rows.push_back(std::move(*row));
                return true;
            }
            return false;
        case kDelete:
            if (auto index = in.number();
                index && in.atEnd() && static_cast<std::size_t>(*index) < sale.rows.size()) {
                sale.rows.erase(sale.rows.begin() + *index);
                return true;
            }
            return false;
        case kClear:
            sale.rows.clear();
            return in.atEnd();
        default:
            return false;
    }
}

}  // namespace

std::string snapshotEntry(const OpenSale& sale) {
    return framed(std::string(1, kSnapshot) + encodeSaleBody(sale));
}

std::string addEntry(const SaleRow& row) {
    std::string payload(1, kAdd);
    putRow(payload, row);
    return framed(payload);
}

std::string deleteEntry(std::size_t index) {
    return framed(std::string(1, kDelete) + std::to_string(index));
}

std::string clearEntry() { return framed(std::string(1, kClear)); }

std::string pendingEntry(const FinishedSale& sale) {
    return framed(std::string(1, kPending) + encodeFinishedSale(sale));
}

std::string landedEntry(int recorded) {
    return framed(std::string(1, kLanded) + std::to_string(recorded));
}

std::optional<std::string> changeEntry(const std::vector<SaleRow>& before,
                                       const std::vector<SaleRow>& after) {
    if (after.empty() && !before.empty()) return clearEntry();
    if (after.size() == before.size() + 1 &&
        std::equal(before.begin(), before.end(), after.begin()))
        return addEntry(after.back());
    if (after.size() + 1 == before.size()) {
        const auto [gone, same] = std::mismatch(after.begin(), after.end(), before.begin());
        if (std::equal(gone, after.end(), same + 1))
            return deleteEntry(static_cast<std::size_t>(gone - after.begin()));
    }
    return std::nullopt;
}

bool isLog(std::string_view file) { return file.substr(0, kLogHeader.size()) == kLogHeader; }

LogReplay replayLog(std::string_view file) {
    LogReplay replay;
    if (!isLog(file)) return replay;
    std::size_t at = kLogHeader.size();
    OpenSale sale;
    bool started = false;
    while (at < file.size()) {
        const std::size_t entryAt = at;
        const auto payload = nextEntry(file, at);
        // The first entry must be a snapshot, later ones may be anything.
        const bool applied = payload && !payload->empty() &&
                             (started || (*payload)[0] == kSnapshot) &&
                             apply(sale, replay.pending, *payload);
        if (!applied) {
            replay.end = payload || !tornTail(file, entryAt) ? LogEnd::Damaged : LogEnd::TornTail;
            break;
        }
        if (started) ++replay.changes;
        started = true;
    }
    if (started) replay.sale = std::move(sale);
    return replay;
}

}  // namespace shop::checkout
