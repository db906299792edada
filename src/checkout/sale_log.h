// The journal of a running checkout as a log: written once whole when the run
// first changes its list, then one entry appended per change, so that each
// change costs one small write and one data sync.
//
// After the header line come entries, each framed as
//   <payload length: 4 bytes, little-endian> <the length's complement: 4 bytes>
//   <first 8 bytes of the payload's SHA-256> <payload>
// so a reader tells a whole entry from one cut short by a crash, and from one
// damaged later. The first entry is a snapshot of the whole list; each later
// one is an add at the end, a delete, a clear, or a new snapshot; or a sale
// being stored (its lines leave the list and wait as the pending sale; a
// refund's lines are its own and the list stays) and
// the end of that (the sale is in every table).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "checkout/finished_sale.h"
#include "checkout/open_sale.h"

namespace shop::checkout {

inline constexpr std::string_view kLogHeader = "shop-open-sale 2\n";

std::string snapshotEntry(const OpenSale& sale);
std::string addEntry(const SaleRow& row);
std::string deleteEntry(std::size_t index);
std::string clearEntry();
std::string pendingEntry(const FinishedSale& sale);
// The pending sale is stored; the sales table now holds `recorded` records.
std::string landedEntry(int recorded);

// The one entry that turns the list `before` into `after`, when the change is
// a row added at the end, one row deleted, or a clear; nullopt for any other
// change (it takes a snapshot) and for no change at all.
std::optional<std::string> changeEntry(const std::vector<SaleRow>& before,
                                       const std::vector<SaleRow>& after);

enum class LogEnd {
    Whole,     // every entry read
    TornTail,  // the last entry was being written when the run ended: that change is lost
    Damaged,   // an entry before the end fails its check: it and all after it are lost
};

struct LogReplay {
    // The list after the last entry that could be read; nullopt when not even
    // the first snapshot could be.
    std::optional<OpenSale> sale;
    // A sale whose tables were being written when the run ended.
    std::optional<FinishedSale> pending;
    LogEnd end = LogEnd::Whole;
    std::size_t changes = 0;  // entries applied after the first snapshot
};

// Where a replay reads a log from, front to back: a file, or bytes in memory.
class LogSource {
public:
    virtual ~LogSource() = default;
    // Up to `n` next bytes into `out`; fewer only at the end (0 there);
    // nullopt when they cannot be read.
    virtual std::optional<std::size_t> read(char* out, std::size_t n) = 0;
};

bool isLog(std::string_view file);
// Replays the log that `in` holds, `size` bytes long, reading it once and
// keeping no more of it than one entry at a time beside the list. Bytes that
// cannot be read end the replay as damage there.
LogReplay replayLog(LogSource& in, std::uint64_t size);
LogReplay replayLog(std::string_view file);

}  // namespace shop::checkout
