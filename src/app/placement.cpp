#include "placement.h"

#include <algorithm>

namespace shop::app {

namespace {

// The start of a span of `length` centred on [lo, hi], kept inside
// [first, last]; the near edge wins when the span is longer than the room.
int centredSpan(int length, int lo, int hi, int first, int last) {
    const int centred = lo + (hi - lo + 1 - length) / 2;
    return std::max(first, std::min(centred, last - length + 1));
}

}  // namespace

QPoint centredOver(QSize size, const QRect& opener, const QRect& screen) {
    return {
        centredSpan(size.width(), opener.left(), opener.right(), screen.left(), screen.right()),
        centredSpan(size.height(), opener.top(), opener.bottom(), screen.top(), screen.bottom())};
}

}  // namespace shop::app
