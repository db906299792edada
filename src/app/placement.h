// Where a window opens: centred over the window that opened it, and whole on
// the screen, so that nothing of the window beneath shows around it by
// chance and no part of it opens out of reach.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace shop::app {

// The top-left corner for a window of `size` centred over `opener`, moved
// the least needed to lie whole inside `screen`. A window larger than the
// screen keeps its top-left corner on the screen, so its title band and
// close button stay in reach.
QPoint centredOver(QSize size, const QRect& opener, const QRect& screen);

}  // namespace shop::app
