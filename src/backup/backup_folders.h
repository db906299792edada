// The folders of a backup destination: finished backups are named after
// their moment ("2024-03-05_14-07-09", "..._2" for a second one in the same
// second); a backup in the making is a hidden ".partial-" folder, so a
// half-made or half-deleted backup never looks like a finished one.
#pragma once

#include <string>
#include <vector>

#include "storage/date_text.h"

namespace shop::backup::detail {

inline constexpr const char* kPartialPrefix = ".partial-";

// Name for a backup taken at that moment that no folder in `destDir` has yet.
std::string freeBackupName(const std::string& destDir, const storage::Moment& at);

// Names of the finished backups in `destDir` (a name of the form above and a
// manifest inside), oldest first by when they were made (their manifest's
// time), whatever their names say. Backups named or made after the present
// moment (a clock that was set ahead) come before all others.
std::vector<std::string> finishedBackups(const std::string& destDir);

// Removes a backup: first renamed to a partial folder, then deleted, so a
// crash midway leaves a partial folder rather than a backup with holes.
bool removeBackup(const std::string& destDir, const std::string& name);

// Removes partial folders older than an hour: left by a backup that was cut
// off. Younger ones may belong to a backup running right now.
void removeStalePartials(const std::string& destDir);

}  // namespace shop::backup::detail
