// The moment of the run: where the program asks what time it is. The run's
// sales table is named after it and every checkout row carries it, so a test
// that starts a run at midnight or on the last second of a month sets the
// clock instead of waiting for the day.
#pragma once

#include <functional>

#include "storage/date_text.h"

namespace shop::app {

// The current local moment, from the clock in use.
storage::Moment now();

// Installs a clock (tests); an empty function puts the system clock back.
void setClock(std::function<storage::Moment()> clock);

// A clock for one scope: installed on construction, the system clock back on
// destruction.
class ClockOverride {
public:
    explicit ClockOverride(std::function<storage::Moment()> clock) { setClock(std::move(clock)); }
    ~ClockOverride() { setClock({}); }
    ClockOverride(const ClockOverride&) = delete;
    ClockOverride& operator=(const ClockOverride&) = delete;
};

}  // namespace shop::app
