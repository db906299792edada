// Checks that a window's controls are all on the screen, whole, and not
// covered: a control is any named widget that is not a picture box (a
// decoration drawn behind the controls).
#pragma once

#include <QRect>
#include <QStringList>

class QWidget;

namespace shop::test {

// One line per problem found in `window` (empty when none): a window or
// control outside `screen`, a control cut by its container's edge, two
// sibling controls overlapping, or a sibling drawn over a control.
QStringList layoutProblems(const QWidget& window, const QRect& screen);

}  // namespace shop::test
