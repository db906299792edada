// Any text offered as a date text: the parser either refuses it or returns a
// real calendar moment whose own text parses back to the same moment.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz_check.h"
#include "storage/date_text.h"

using namespace shop::storage;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto m = parseDateText(text);
    if (!m) return 0;
    FUZZ_CHECK(isValid(*m));
    const auto again = parseDateText(dateText(*m));
    FUZZ_CHECK(again && *again == *m);
    // The date part is a prefix of the moment's text and parses as that day.
    const std::string day = datePartText(*m);
    FUZZ_CHECK(dateText(*m).rfind(day, 0) == 0);
    const auto dayOnly = parseDateText(day);
    FUZZ_CHECK(dayOnly && *dayOnly == m->dateOnly());
    // Day arithmetic agrees with the calendar the parser accepted.
    FUZZ_CHECK(fromDayNumber(dayNumber(*m)) == m->dateOnly());
    FUZZ_CHECK(dayNumber(*m) + 1 == dayNumber(fromDayNumber(dayNumber(*m) + 1)));
    return 0;
}
