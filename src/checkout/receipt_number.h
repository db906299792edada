// Receipt numbers: "<till code>-<yyyymmdd>-<daily sequence>", for example
// 01-20261209-0007. The sequence starts at 1 each day and continues across
// the runs of that day, read back from the ticket tables.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "storage/date_text.h"

namespace shop::checkout {

inline constexpr const char* kDefaultTillCode = "01";
// The settings key of the till code (section of the till's header keys).
inline constexpr const char* kTillCodeKey = "till";

// A till code is 1 to 8 letters or digits; anything else gives the default.
std::string tillCodeOr(std::string_view code);

int dayKey(const storage::Moment& day);  // 20261209
std::string receiptNumber(std::string_view till, int day, int sequence);

struct ReceiptParts {
    std::string till;
    int day = 0;
    int sequence = 0;
};
std::optional<ReceiptParts> parseReceipt(std::string_view receipt);

// The highest sequence of `day` among the tickets in `ticketFolder`; 0 when
// the day has none yet. Runs follow each other, so only the newest tables
// need reading: the newest one holding tickets of the day has the highest,
// and none started before the day can follow one that did.
int lastSequenceOfDay(const std::string& ticketFolder, const storage::Moment& day);

// The numbers of one run, in order, each new day from 1.
class ReceiptNumbers {
public:
    ReceiptNumbers() = default;
    ReceiptNumbers(std::string ticketFolder, std::string tillCode);

    // Reads the day's last sequence now, so the first sale does not wait.
    void prime(const storage::Moment& now);
    std::string next(const storage::Moment& now);

private:
    std::string m_folder;
    std::string m_till = kDefaultTillCode;
    int m_day = 0;
    int m_sequence = 0;
};

}  // namespace shop::checkout
