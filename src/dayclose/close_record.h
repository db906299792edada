// One day close as it is stored: the figures of what it covers, the cash
// check, who closed and when, and a note. Stored once and never changed; a
// mistake is put right by a later close that says so in its note.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "day_figures.h"

namespace shop::dayclose {

struct CloseRecord {
    std::string day;     // date text of the day closed ("2026年12月10日")
    std::string moment;  // date text of the moment it was confirmed
    std::string cashier;
    DayFigures figures;
    Fen openingFloat = 0;
    Fen expectedCash = 0;  // float + cash taken - cash given back
    Fen countedCash = 0;
    Fen difference = 0;  // counted - expected: negative when cash is missing
    std::string note;
};

// The cash the drawer should hold: the float, plus what the figures took in
// cash, less what they gave back in cash.
Fen expectedCash(const DayFigures& figures, Fen openingFloat);

// The record's fields in the table's order, every amount as stored money
// text ("19.50").
std::vector<std::string> closeFields(const CloseRecord& record);
// And back; nullopt when the fields are not a close of ours.
std::optional<CloseRecord> closeFromFields(const std::vector<std::string>& fields);

}  // namespace shop::dayclose
