#include "restore.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <optional>
#include <vector>

#include "backup_copy.h"
#include "backup_manifest.h"
#include "storage/data_paths.h"
#include "storage/sha256.h"
#include "storage/table.h"

namespace shop::backup {

using namespace storage;
namespace fs = std::filesystem;
using namespace detail;

namespace {

// Copies waiting beside their targets; hidden and without ".edb", so no
// folder listing of the program takes them for tables.
constexpr const char* kStagedPrefix = ".restore-";

// Why a file of the backup is not the one the manifest vouches for; empty
// when it is there, a regular file of the stated size and checksum.
std::string unsoundness(const std::string& backupDir, const ManifestEntry& e) {
    const std::string path = backupDir + "/" + e.path;
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return e.path + ": missing from the backup";
    if (static_cast<std::uint64_t>(st.st_size) != e.size)
        return e.path + ": size does not match the manifest";
    std::string why;
    const auto digest = sha256File(path, &why);
    if (!digest) return e.path + ": " + why;
    if (*digest != e.sha256) return e.path + ": checksum does not match the manifest";
    return {};
}

struct Staged {
    std::string temp, target;
};

// Removes copies a cut-off restore left beside the tables.
void removeStaleStaged(const std::string& runDir) {
    std::vector<std::string> folders(std::begin(kTableFolders), std::end(kTableFolders));
    folders.push_back(kSettingsFolder);
    for (const std::string& folder : folders) {
        std::error_code ec;
        std::vector<fs::path> stale;
        for (fs::directory_iterator it(joinPath(runDir, folder), ec), end; !ec && it != end;
             it.increment(ec))
            if (it->path().filename().string().starts_with(kStagedPrefix))
                stale.push_back(it->path());
        for (const auto& p : stale) fs::remove(p, ec);
    }
}

// Copies one backup file beside its target and proves the copy: the
// checksum again (the backup may have changed since it was verified) and,
// for a table, the full integrity check.
bool stage(const std::string& backupDir, const ManifestEntry& e, const std::string& runDir, int n,
           std::vector<Staged>& staged, std::string* why) {
    const auto slash = e.path.find('/');
    const std::string folder = joinPath(runDir, e.path.substr(0, slash));
    std::error_code ec;
    fs::create_directories(folder, ec);
    const std::string temp =
        folder + "/" + kStagedPrefix + std::to_string(::getpid()) + "-" + std::to_string(n);
    Copied copied;
    if (!copyFile(backupDir + "/" + e.path, temp, &copied, why)) {
        ::unlink(temp.c_str());
        return false;
    }
    staged.push_back({temp, joinPath(runDir, e.path)});
    if (copied.sha256 != e.sha256 || copied.size != e.size) {
        *why = e.path + ": changed while it was being restored";
        return false;
    }
    if (e.path.ends_with(".edb")) {
        const std::string problem = checkIntegrity(temp);
        if (!problem.empty()) {
            *why = e.path + ": not a sound table: " + problem;
            return false;
        }
    }
    return true;
}

}  // namespace

RestoreReport restoreBackup(const std::string& backupDir, const std::string& runDir,
                            const RunFolderHold& hold, bool soundOnly) {
    RestoreReport report;
    const auto manifest = readManifest(backupDir, &report.error);
    if (!manifest) return report;
    std::vector<ManifestEntry> sound;
    for (const ManifestEntry& e : manifest->entries) {
        std::string why = unsoundness(backupDir, e);
        if (why.empty())
            sound.push_back(e);
        else
            report.unsound.push_back(std::move(why));
    }
    if (!report.unsound.empty() && !soundOnly) {
        report.error = std::to_string(report.unsound.size()) +
                       " files of the backup are unsound; nothing was replaced";
        return report;
    }

    const std::shared_ptr<void> held = hold(runDir, &report.error);
    if (!held) return report;
    removeStaleStaged(runDir);

    std::vector<Staged> staged;
    bool ok = true;
    for (std::size_t i = 0; ok && i < sound.size(); ++i)
        ok = stage(backupDir, sound[i], runDir, static_cast<int>(i), staged, &report.error);
    if (!ok) {
        for (const auto& s : staged) ::unlink(s.temp.c_str());
        return report;
    }
    for (const auto& s : staged) {
        // A journal left by a crash belongs to the old file; replayed into
        // the restored one it would spoil it. It goes first.
        const std::string journal = s.target + "-journal";
        if (::unlink(journal.c_str()) != 0 && errno != ENOENT) {
            report.error = journal + ": " + std::strerror(errno);
            break;
        }
        if (::rename(s.temp.c_str(), s.target.c_str()) != 0) {
            report.error = s.target + ": " + std::strerror(errno);
            break;
        }
        syncPath(fs::path(s.target).parent_path().string(), true);
        ++report.restored;
    }
    if (report.restored != static_cast<int>(staged.size())) {
        for (std::size_t i = static_cast<std::size_t>(report.restored); i < staged.size(); ++i)
            ::unlink(staged[i].temp.c_str());
        return report;
    }
    report.ok = true;
    return report;
}

}  // namespace shop::backup
