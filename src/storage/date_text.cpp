#include "date_text.h"

#include <charconv>
#include <ctime>

namespace shop::storage {

namespace {

bool isLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int daysInMonth(int y, int m) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && isLeap(y) ? 29 : kDays[m - 1];
}

// Reads a decimal number of at most `maxDigits` digits followed by `unit`.
bool readPart(std::string_view& text, std::string_view unit, int maxDigits, int& out) {
    std::size_t digits = 0;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') ++digits;
    if (digits == 0 || digits > static_cast<std::size_t>(maxDigits)) return false;
    std::from_chars(text.data(), text.data() + digits, out);
    text.remove_prefix(digits);
    if (text.substr(0, unit.size()) != unit) return false;
    text.remove_prefix(unit.size());
    return true;
}

}  // namespace

bool isValid(const Moment& m) {
    return m.year >= 1 && m.year <= 9999 && m.month >= 1 && m.month <= 12 && m.day >= 1 &&
           m.day <= daysInMonth(m.year, m.month) && m.hour >= 0 && m.hour <= 23 && m.minute >= 0 &&
           m.minute <= 59 && m.second >= 0 && m.second <= 59;
}

std::string datePartText(const Moment& m) {
    return std::to_string(m.year) + "年" + std::to_string(m.month) + "月" + std::to_string(m.day) +
           "日";
}

std::string dateText(const Moment& m) {
    std::string text = datePartText(m);
    if (!m.isMidnight())
        text += std::to_string(m.hour) + "时" + std::to_string(m.minute) + "分" +
                std::to_string(m.second) + "秒";
    return text;
}

std::optional<Moment> parseDateText(std::string_view text) {
    Moment m;
    if (!readPart(text, "年", 4, m.year) || !readPart(text, "月", 2, m.month) ||
        !readPart(text, "日", 2, m.day))
        return std::nullopt;
    if (!text.empty()) {
        if (!readPart(text, "时", 2, m.hour) || !readPart(text, "分", 2, m.minute) ||
            !readPart(text, "秒", 2, m.second) || !text.empty())
            return std::nullopt;
    }
    if (!isValid(m)) return std::nullopt;
    return m;
}

long long dayNumber(const Moment& m) {
    // Days from civil, shifted so that March is the first month of the year.
    const long long y = m.month <= 2 ? m.year - 1 : m.year;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long mp = (m.month + 9) % 12;
    const long long doy = (153 * mp + 2) / 5 + m.day - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe;
}

std::optional<long long> secondOfDateText(std::string_view text) {
    const auto m = parseDateText(text);
    if (!m) return std::nullopt;
    return (dayNumber(*m) * 24 + m->hour) * 3600 + m->minute * 60 + m->second;
}

Moment fromDayNumber(long long z) {
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    Moment m;
    m.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    m.year = static_cast<int>(yoe + era * 400 + (m.month <= 2 ? 1 : 0));
    return m;
}

Moment now() {
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

}  // namespace shop::storage
