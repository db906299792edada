// Before Qt starts: is there a display to show the window on? Without one,
// Qt prints a stack of plugin messages and aborts; the program says so in
// one line instead.
#pragma once

namespace shop::shell {

// False, after writing one line to standard error, when neither DISPLAY nor
// WAYLAND_DISPLAY is set and no Qt platform was chosen (QT_QPA_PLATFORM or a
// -platform argument); true otherwise.
bool haveDisplay(int argc, char** argv);

}  // namespace shop::shell
