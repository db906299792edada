// Keeps the toolkit's idea of where a top-level window stands true to the
// window system's. Under some window managers the position the toolkit
// believes is left stale once the window is mapped: a borderless window is
// believed at the screen's corner while it stands where it was placed. All
// that is worked out from that belief then goes astray by the difference:
// pop-up menus open away from the pointer, windows opened over it open
// elsewhere, drags jump.
#pragma once

class QWidget;

namespace shop::app {

// A mouse press carries the pointer's true place on the screen and in the
// window; when the two disagree with where `window` is believed to stand,
// the belief is put right (the window itself does not move). Safe to call
// before the window is shown.
void keepTrueOrigin(QWidget* window);

}  // namespace shop::app
