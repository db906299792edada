#include "scan_burst.h"

#include "checkout/barcode_scan.h"

namespace shop::checkout {

bool ScanBurst::key(char text, std::int64_t ms) {
    // A pause ends whatever went before: the next key begins afresh.
    const bool afterPause = (m_digits.empty() && !m_broken) || ms - m_last > kScanGapMs;
    m_last = ms;
    if (afterPause) {
        m_digits.clear();
        m_broken = false;
    }
    // A scanner types digits only: any other key in the run makes it typing.
    if (text < '0' || text > '9') {
        m_broken = true;
        return false;
    }
    m_digits += text;
    return afterPause;
}

std::optional<std::string> ScanBurst::enter(std::int64_t ms) {
    const bool scan = !m_broken && m_digits.size() >= kMinScanDigits && ms - m_last <= kScanGapMs;
    std::string digits = std::move(m_digits);
    m_digits.clear();
    m_broken = false;
    if (!scan) return std::nullopt;
    return digits;
}

}  // namespace shop::checkout
