// The font configuration the program starts with.
#pragma once

namespace shop::app {

// Gives the font library a configuration of its own before the first text is
// laid out: the system's font folders and caches, without the desktop's
// dozens of substitution and rendering rule files. Reading those rules took
// a quarter of the start-up, and the program names its own fonts anyway.
// A configuration the user chose explicitly (FONTCONFIG_FILE) is left alone.
// Returns whether the program's own configuration is in use.
bool useOwnFontConfiguration();

}  // namespace shop::app
