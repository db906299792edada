// The screen the layout tests run on: the smallest a till is sold with.
#pragma once

#include <QRect>

namespace shop::test {

inline const QRect kScreen(0, 0, 1280, 800);

}  // namespace shop::test
