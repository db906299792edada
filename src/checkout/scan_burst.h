// Tells a scanner from a person in a box that takes other digits (the
// amount handed over): a scanner types a whole code within milliseconds, a
// person takes a tenth of a second or more per key. A burst is a run of
// digits, each within kScanGapMs of the one before, ended by Enter just as
// fast; with at least kMinScanDigits digits it is a scan.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace shop::checkout {

inline constexpr std::int64_t kScanGapMs = 40;

class ScanBurst {
public:
    // A key pressed at `ms` (a steady clock): its text, one character, or
    // 0 for a key without text. True when this digit begins a new burst
    // (the caller keeps what the box held before it).
    bool key(char text, std::int64_t ms);
    // Enter at `ms`: the digits of the burst it ends when that is a scan,
    // nullopt otherwise. The burst is over either way.
    std::optional<std::string> enter(std::int64_t ms);

private:
    std::string m_digits;
    bool m_broken = false;  // another key came within the run
    std::int64_t m_last = 0;
};

}  // namespace shop::checkout
