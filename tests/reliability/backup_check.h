// Whether a finished backup folder is what its manifest says, for tests that
// cut a backup off (a power cut, a full disk) and look afterwards.
#pragma once

#include <string>
#include <vector>

namespace shop::test {

// Empty when every file the manifest lists is there with its size and
// checksum and every table in the folder is listed; otherwise what is wrong.
std::string backupProblem(const std::string& folder);

// The finished backups in `destDir` (hidden folders are unfinished ones).
std::vector<std::string> finishedBackups(const std::string& destDir);
// The unfinished ones.
std::vector<std::string> partialBackups(const std::string& destDir);

}  // namespace shop::test
