// The table tool's backup and restore commands.
#pragma once

#include <string>

namespace shop::tool {

// "backup RUN_DIR DEST_DIR" and "restore BACKUP_DIR RUN_DIR [--sound-only]"
// (--sound-only: the sound files of a partly damaged backup); `args` are the
// words after the command. Returns the process exit code.
int runBackupCommand(const std::string& command, int argc, char** args);

}  // namespace shop::tool
