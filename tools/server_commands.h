// The table tool's shop server commands.
#pragma once

namespace shop::tool {

// "server init|join|user|catalogue ..."; `args` are the words after
// "server". Returns the process exit code.
int runServerCommand(int argc, char** args);

}  // namespace shop::tool
