// The screen the layout tests run on. Each run of the test program is given
// one screen size (--screen=WIDTHxHEIGHT, default the smallest a till is sold
// with); CTest runs the program once per size a till comes with.
#pragma once

#include <QRect>

namespace shop::test {

inline constexpr QSize kSmallestScreen(1280, 800);

// The screen of this run, as main set it up.
QRect testScreen();

}  // namespace shop::test
