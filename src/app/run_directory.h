// The folder of the program file, where all data lives.
#pragma once

#include <string>

namespace shop::app {

// The run directory in use: the folder of the executable, unless a test set
// its own temporary folder.
std::string runDirectory();
void setRunDirectory(const std::string& dir);

}  // namespace shop::app
