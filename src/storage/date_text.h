// Date text: the one text form of dates and moments, for display, storage and
// file names: 2024年3月5日14时7分9秒, or 2024年3月5日 at midnight. The date text
// of a day is a prefix of the date text of every moment of that day.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace shop::storage {

struct Moment {
    int year = 2000, month = 1, day = 1;
    int hour = 0, minute = 0, second = 0;

    bool isMidnight() const { return hour == 0 && minute == 0 && second == 0; }
    Moment dateOnly() const { return {year, month, day, 0, 0, 0}; }
    friend bool operator==(const Moment&, const Moment&) = default;
};

// Whether the fields form a real calendar moment (years 1..9999).
bool isValid(const Moment& m);

// "2024年3月5日14时7分9秒"; the date part alone at midnight.
std::string dateText(const Moment& m);
// "2024年3月5日", whatever the time of day.
std::string datePartText(const Moment& m);

// Parses a date text back; nullopt for anything that is not one.
std::optional<Moment> parseDateText(std::string_view text);

// Days since 0001-01-01 (proleptic Gregorian) and back; for day arithmetic.
long long dayNumber(const Moment& m);
Moment fromDayNumber(long long days);
// Seconds since 0001-01-01 of the moment a date text names; nullopt for a
// text that is not one. Orders moments as time does.
std::optional<long long> secondOfDateText(std::string_view text);

// The current local moment.
Moment now();

}  // namespace shop::storage
