// Putting a backup back into a run folder.
//
// Nothing is replaced until every file to be restored has been proved against
// the manifest (size and SHA-256) and, for a table, copied beside its target
// and found sound. Each file then replaces its target by one rename, so a
// table is at every moment either the old one or the restored one. Tables of
// the run folder that the backup does not hold (a later run's sales, say)
// are left as they are.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace shop::backup {

// Holds the run folder for as long as the returned object lives, so that the
// program cannot start on it while files are being replaced; nothing (and
// the reason) while the program runs on that folder.
using RunFolderHold =
    std::function<std::shared_ptr<void>(const std::string& runDir, std::string* why)>;

struct RestoreReport {
    bool ok = false;
    std::string error;  // why nothing was replaced, or what stopped the replacing
    int restored = 0;   // files replaced
    // Files of the backup that do not match its manifest ("path: reason"),
    // every one of them; none of them is ever put back.
    std::vector<std::string> unsound;
};

// With an unsound file in the backup nothing is replaced, unless `soundOnly`
// asks for the sound files of a partly damaged backup: those are restored
// and the unsound ones are left as they are in the run folder.
RestoreReport restoreBackup(const std::string& backupDir, const std::string& runDir,
                            const RunFolderHold& hold, bool soundOnly = false);

}  // namespace shop::backup
