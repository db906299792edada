#include "backup.h"

#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>

#include "backup_copy.h"
#include "backup_folders.h"
#include "backup_manifest.h"
#include "backup_source.h"
#include "storage/data_paths.h"
#include "storage/sha256.h"

namespace shop::backup {

using namespace storage;
namespace fs = std::filesystem;
using namespace detail;

namespace {

bool writeManifest(const std::string& folder, const Manifest& m, std::string* why) {
    const std::string path = folder + "/" + kManifestName;
    const std::string text = manifestText(m);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0644);
    bool ok = fd >= 0 &&
              ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size()) &&
              ::fsync(fd) == 0;
    if (!ok && why) *why = path + ": " + std::strerror(errno);
    if (fd >= 0 && ::close(fd) != 0) ok = false;
    return ok;
}

// The newest finished backup in `destDir` and its manifest, for reuse.
struct Previous {
    std::string folder;
    Manifest manifest;
};

std::optional<Previous> previousBackup(const std::string& destDir) {
    const auto names = finishedBackups(destDir);
    if (names.empty()) return std::nullopt;
    const std::string folder = destDir + "/" + names.back();
    auto manifest = readManifest(folder, nullptr);
    if (!manifest) return std::nullopt;
    return Previous{folder, std::move(*manifest)};
}

// Takes over the previous backup's copy of an unchanged file: a hard link,
// or a copy where links are not possible. The copy must still be what its
// manifest says, byte for byte: a damaged copy linked on would spread its
// damage into every later backup. Otherwise `damaged` says why, and the file
// is copied afresh from the run folder.
bool reuse(const Previous& prev, const ManifestEntry& was, const std::string& dest,
           std::string* damaged) {
    const std::string from = prev.folder + "/" + was.path;
    struct stat st {};
    if (::lstat(from.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;  // gone or replaced: simply not there to reuse
    std::string why;
    const auto digest = static_cast<std::uint64_t>(st.st_size) == was.size
                            ? sha256File(from, &why)
                            : std::optional<std::string>();
    if (!digest || *digest != was.sha256) {
        *damaged = from + ": " + (why.empty() ? "does not match its manifest" : why);
        return false;
    }
    if (::link(from.c_str(), dest.c_str()) == 0) return true;
    Copied copied;
    return copyFile(from, dest, &copied, nullptr) && copied.sha256 == was.sha256;
}

// Fills the partial folder; the manifest last.
bool fillPartial(const std::string& runDir, const std::string& partial,
                 const std::optional<Previous>& prev, BackupReport& report) {
    Manifest manifest;
    std::vector<std::string> folders;
    for (const std::string& rel : filesToBackUp(runDir)) {
        const std::string folder = rel.substr(0, rel.find('/'));
        if (folders.empty() || folders.back() != folder) {
            if (::mkdir((partial + "/" + folder).c_str(), 0755) != 0) {
                report.error = partial + "/" + folder + ": " + std::strerror(errno);
                return false;
            }
            folders.push_back(folder);
        }
        const std::string source = runDir + "/" + rel, dest = partial + "/" + rel;
        const bool table = rel.ends_with(".edb");
        // Looked at before the copy: the copy is then at least as new as the
        // stamp says, so a later equal stamp never hides a change.
        ManifestEntry entry{rel, 0, {}, fileStamp(source, table)};
        const ManifestEntry* was = prev ? prev->manifest.find(rel) : nullptr;
        std::string damaged;
        const bool reused = was && !entry.stamp.empty() && was->stamp == entry.stamp &&
                            reuse(*prev, *was, dest, &damaged);
        if (!damaged.empty()) report.damaged.push_back(std::move(damaged));
        if (reused) {
            entry.size = was->size;
            entry.sha256 = was->sha256;
            ++report.reused;
            manifest.entries.push_back(std::move(entry));
            continue;
        }
        Copied copied;
        std::string why;
        const TableCopy result =
            table ? copyTable(source, dest, &copied, &why)
                  : (copyFile(source, dest, &copied, &why) ? TableCopy::Done : TableCopy::Failed);
        if (result == TableCopy::SourceRefused) {
            report.skipped.push_back(why);
            ::unlink(dest.c_str());
            continue;
        }
        if (result == TableCopy::Failed) {
            report.error = why;
            return false;
        }
        entry.size = copied.size;
        entry.sha256 = std::move(copied.sha256);
        ++report.copied;
        manifest.entries.push_back(std::move(entry));
    }
    for (const auto& folder : folders) syncPath(partial + "/" + folder, true);
    return writeManifest(partial, manifest, &report.error) && syncPath(partial, true);
}

// Renames the partial folder to a free name, never over another backup.
bool publish(const std::string& partial, const std::string& destDir, const Moment& at,
             BackupReport& report) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string target = destDir + "/" + freeBackupName(destDir, at);
        if (::renameat2(AT_FDCWD, partial.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) ==
            0) {
            syncPath(destDir, true);
            report.folder = target;
            return true;
        }
        if (errno != EEXIST) break;
    }
    report.error = destDir + ": cannot name the backup: " + std::strerror(errno);
    return false;
}

}  // namespace

BackupReport takeBackup(const std::string& runDir, const std::string& destDir, const Moment& at) {
    BackupReport report;
    std::error_code ec;
    fs::create_directories(destDir, ec);
    if (ec) {
        report.error = destDir + ": " + ec.message();
        return report;
    }
    const auto prev = previousBackup(destDir);
    std::string partial = destDir + "/" + kPartialPrefix + "XXXXXX";
    if (!::mkdtemp(partial.data())) {
        report.error = destDir + ": " + std::strerror(errno);
        return report;
    }
    report.ok = fillPartial(runDir, partial, prev, report) && publish(partial, destDir, at, report);
    if (!report.ok) fs::remove_all(partial, ec);
    return report;
}

BackupReport rollingBackup(const std::string& runDir, int keep, const Moment& at) {
    const std::string destDir = joinPath(runDir, kRollingBackupFolder);
    removeStalePartials(destDir);
    BackupReport report = takeBackup(runDir, destDir, at);
    if (!report.ok) return report;
    // Oldest first by when they were made; the one just made stays even
    // when a clock set ahead before makes others look newer.
    auto names = finishedBackups(destDir);
    const std::string made = fs::path(report.folder).filename().string();
    std::erase(names, made);
    const auto others = static_cast<std::size_t>(std::max(keep, 1) - 1);
    for (std::size_t i = 0; i + others < names.size(); ++i) removeBackup(destDir, names[i]);
    return report;
}

}  // namespace shop::backup
