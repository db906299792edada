// How the table tool shows stored texts: a terminal never receives a control
// sequence from a table.
#pragma once

#include <string>

namespace shop::tool {

// The text with every control character shown as an escape: \n, \r, \t,
// \\ for the backslash itself, and \xHH (or \u{HHHH} for C1 controls) for
// the rest, so an escape sequence stored in a table is seen, not obeyed.
std::string escapeControls(const std::string& text);

}  // namespace shop::tool
