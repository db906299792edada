// Backups of a run folder: every table of the five data folders and the
// settings file, copied consistently while the program may be writing, with
// a manifest of sizes and SHA-256 checksums (backup_manifest.h).
//
// A backup is made in a hidden partial folder and renamed into place only
// when every file and the manifest are on disk, so a backup that was cut off
// never looks finished. A file that has not changed since the newest backup
// in the same destination is hard-linked from it instead of copied again,
// which keeps a backup at each exit cheap, once its copy there is proved
// against that backup's manifest.
#pragma once

#include <string>
#include <vector>

#include "storage/date_text.h"

namespace shop::backup {

inline constexpr const char* kRollingBackupFolder = "备份";
inline constexpr int kRollingBackupsKept = 7;

struct BackupReport {
    bool ok = false;
    std::string folder;  // the finished backup
    std::string error;   // why there is none
    int copied = 0;      // files copied afresh
    int reused = 0;      // unchanged files taken over from the previous backup
    // Tables that could not be saved because they are missing by now,
    // foreign or damaged ("path: reason"); the backup holds everything else.
    std::vector<std::string> skipped;
    // Files of the previous backup that no longer match its manifest
    // ("path: reason"): that backup is damaged. They were copied afresh
    // from the run folder instead of being taken over.
    std::vector<std::string> damaged;
};

// Takes a backup of `runDir` into a new folder inside `destDir` (made if
// missing), named after `at`.
BackupReport takeBackup(const std::string& runDir, const std::string& destDir,
                        const storage::Moment& at = storage::now());

// The backup at each orderly exit: into 备份 in the run folder, after which
// only the newest `keep` backups there stay. A failed backup deletes none.
BackupReport rollingBackup(const std::string& runDir, int keep = kRollingBackupsKept,
                           const storage::Moment& at = storage::now());

}  // namespace shop::backup
