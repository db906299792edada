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

// Reads a log front to back, counting where it stands.
class Stream {
public:
    Stream(LogSource& in, std::uint64_t size) : m_in(in), m_size(size) {}

    std::uint64_t rest() const { return m_at < m_size ? m_size - m_at : 0; }
    bool failed() const { return m_failed; }

    // The next `n` bytes into `out`; false when fewer were there.
    bool take(std::string& out, std::size_t n) {
        out.resize(n);
        std::size_t got = 0;
        while (got < n) {
            const auto r = m_in.read(out.data() + got, n - got);
            if (!r) m_failed = true;
            if (!r || *r == 0) break;
            got += *r;
        }
        out.resize(got);
        m_at += got;
        return got == n;
    }

    // Whether every byte from here to the end is zero.
    bool restIsZero() {
        std::string chunk;
        while (rest() > 0) {
            const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(rest(), 1 << 16));
            if (!take(chunk, n)) return false;
            if (chunk.find_first_not_of('\0') != std::string::npos) return false;
        }
        return !m_failed;
    }

private:
    LogSource& m_in;
    std::uint64_t m_size;
    std::uint64_t m_at = 0;
    bool m_failed = false;
};

// A whole entry that the stream stands at into `payload`, or how the log
// ends there: an entry cut short where the file ends, or all zeros (space
// the file system gave but never filled), is the change in flight when the
// run ended; anything else that fails its check is damage.
std::optional<LogEnd> nextEntry(Stream& in, std::string& payload) {
    const std::uint64_t rest = in.rest();
    std::string frame;
    if (rest < kFrame) return LogEnd::TornTail;
    if (!in.take(frame, kFrame)) return in.failed() ? LogEnd::Damaged : LogEnd::TornTail;
    const std::uint32_t size = word(frame.substr(0, 4));
    if (word(frame.substr(4, 4)) != ~size) {
        const bool zeros = frame.find_first_not_of('\0') == std::string::npos && in.restIsZero();
        return zeros ? LogEnd::TornTail : LogEnd::Damaged;
    }
    if (size > rest - kFrame) return LogEnd::TornTail;
    if (!in.take(payload, size)) return in.failed() ? LogEnd::Damaged : LogEnd::TornTail;
    if (frame.substr(8, 8) != check(payload))
        return size == rest - kFrame ? LogEnd::TornTail : LogEnd::Damaged;
    return std::nullopt;
}

// Bytes in memory as a log source.
class TextSource : public LogSource {
public:
    explicit TextSource(std::string_view text) : m_text(text) {}
    std::optional<std::size_t> read(char* out, std::size_t n) override {
        const std::size_t count = std::min(n, m_text.size());
        std::copy_n(m_text.data(), count, out);
        m_text.remove_prefix(count);
        return count;
    }

private:
    std::string_view m_text;
};

bool apply(OpenSale& sale, std::optional<FinishedSale>& pending, std::string_view payload) {
    TextReader in(payload.substr(1));
    switch (payload[0]) {
        case kPending:
            if (auto finished = decodeFinishedSale(payload.substr(1))) {
                // A sale's lines are the pending sale now; a refund takes
                // nothing off the list.
                if (finished->original.empty()) sale.rows.clear();
                pending = std::move(*finished);
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

LogReplay replayLog(LogSource& source, std::uint64_t size) {
    LogReplay replay;
    Stream in(source, size);
    std::string header;
    if (!in.take(header, kLogHeader.size()) || !isLog(header)) return replay;
    OpenSale sale;
    bool started = false;
    std::string payload;
    while (in.rest() > 0) {
        std::optional<LogEnd> end = nextEntry(in, payload);
        // The first entry must be a snapshot, later ones may be anything.
        if (!end && (payload.empty() || (!started && payload[0] != kSnapshot) ||
                     !apply(sale, replay.pending, payload)))
            end = LogEnd::Damaged;
        if (end) {
            replay.end = *end;
            break;
        }
        if (started) ++replay.changes;
        started = true;
    }
    if (started) replay.sale = std::move(sale);
    return replay;
}

LogReplay replayLog(std::string_view file) {
    TextSource in(file);
    return replayLog(in, file.size());
}

}  // namespace shop::checkout
