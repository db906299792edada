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

// The highest sequence of `day` among the tickets in `ticketFolder` and the
// sales still pending in the journals of `runDir` (a sale paid for that no
// ticket table took yet has its number all the same); 0 when the day has
// none yet. Runs follow each other, so only the newest tables need reading:
// the newest one holding tickets of the day has the highest, and none
// started before the day can follow one that did. A table that does not
// read as a table is searched byte by byte for the day's numbers; nullopt
// when even that fails: the next number is then not known, and a number
// must never be given twice.
std::optional<int> lastSequenceOfDay(const std::string& ticketFolder, const storage::Moment& day,
                                     const std::string& runDir = {});

// The highest sequence of `day` written anywhere in `bytes` as a receipt
// number: what a damaged table still says of the numbers it gave.
int highestSequenceIn(std::string_view bytes, int day);

// The numbers of one run, in order, each new day from 1.
class ReceiptNumbers {
public:
    ReceiptNumbers() = default;
    ReceiptNumbers(std::string ticketFolder, std::string tillCode, std::string runDir = {});

    // Reads the day's last sequence now, so the first sale does not wait.
    void prime(const storage::Moment& now);
    // The next number; nullopt while the day's last one cannot be known
    // (it is read again at the next call).
    std::optional<std::string> next(const storage::Moment& now);

private:
    std::string m_folder;
    std::string m_till = kDefaultTillCode;
    std::string m_runDir;
    int m_day = 0;
    std::optional<int> m_sequence = 0;
};

}  // namespace shop::checkout
