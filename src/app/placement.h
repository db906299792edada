// Where a window opens: centred over the window that opened it, and whole on
// the screen, so that nothing of the window beneath shows around it by
// chance and no part of it opens out of reach.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace shop::app {

// The top-left corner for a window of `size` centred over `opener`, moved
// the least needed to lie whole inside `screen`. A window larger than the
// screen keeps its top-left corner on the screen, so its title band and
// close button stay in reach.
QPoint centredOver(QSize size, const QRect& opener, const QRect& screen);

// Places `window` so when it is first shown, at the size it has then:
// centred over the window of `opener` (or kept where it is, when there is
// none), whole on the screen. For dialogs the program does not build itself
// (the file dialogs), which would otherwise open where the toolkit or the
// window manager puts them.
void centreOnShow(QWidget* window, QWidget* opener);

}  // namespace shop::app
