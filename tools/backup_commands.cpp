#include "backup_commands.h"

#include <filesystem>
#include <iostream>
#include <memory>

#include "backup/backup.h"
#include "backup/restore.h"
#include "storage/run_lock.h"

namespace shop::tool {

namespace {

using namespace shop::storage;
using namespace shop::backup;

// Holds the run folder with the program's own lock, so the program cannot
// start on it while tables are being replaced, and a running program is
// noticed.
std::shared_ptr<void> holdRunFolder(const std::string& runDir, std::string* why) {
    if (!std::filesystem::is_directory(runDir)) {
        *why = runDir + ": no such run folder (make it with the provision command first)";
        return nullptr;
    }
    auto lock = std::make_shared<RunLock>();
    const Status status = lock->acquire(runDir);
    if (!status.ok()) {
        *why = status.code() == Status::Code::Locked
                   ? "the shop program is running on " + runDir + "; close it first"
                   : status.message();
        return nullptr;
    }
    return lock;
}

int backup(const std::string& runDir, const std::string& destDir) {
    const BackupReport r = takeBackup(runDir, destDir);
    for (const auto& s : r.skipped) std::cerr << "shop_table: not backed up: " << s << "\n";
    if (!r.ok) {
        std::cerr << "shop_table: backup failed: " << r.error << "\n";
        return 1;
    }
    std::cout << r.folder << "\n"
              << r.copied << " files copied, " << r.reused
              << " unchanged files taken from the previous backup\n";
    return r.skipped.empty() ? 0 : 1;
}

int restore(const std::string& backupDir, const std::string& runDir, bool soundOnly) {
    const RestoreReport r = restoreBackup(backupDir, runDir, holdRunFolder, soundOnly);
    for (const auto& u : r.unsound)
        std::cerr << "shop_table: unsound in the backup" << (soundOnly ? ", not restored: " : ": ")
                  << u << "\n";
    if (!r.ok) {
        std::cerr << "shop_table: restore refused: " << r.error << "\n";
        if (!r.unsound.empty() && !soundOnly)
            std::cerr << "shop_table: --sound-only restores the other files\n";
        if (r.restored > 0)
            std::cerr << "shop_table: " << r.restored << " files were already replaced\n";
        return 1;
    }
    std::cout << r.restored << " files restored into " << runDir << "\n";
    // Only part of the backup came back: said above, and in the exit code.
    return r.unsound.empty() ? 0 : 1;
}

}  // namespace

int runBackupCommand(const std::string& command, int argc, char** args) {
    const bool soundOnly =
        command == "restore" && argc == 3 && std::string(args[2]) == "--sound-only";
    if (argc != 2 && !soundOnly) {
        std::cerr << "usage: shop_table backup RUN_DIR DEST_DIR | shop_table restore BACKUP_DIR "
                     "RUN_DIR [--sound-only]\n";
        return 2;
    }
    return command == "backup" ? backup(args[0], args[1]) : restore(args[0], args[1], soundOnly);
}

}  // namespace shop::tool
