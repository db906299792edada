// The manifest of a backup folder: which files the backup holds, with the
// size and SHA-256 each must have. A restore trusts nothing in a backup
// folder that the manifest does not vouch for.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace shop::backup {

inline constexpr const char* kManifestName = "manifest.txt";

struct ManifestEntry {
    // Relative to the backup folder and to the run folder alike, "/"-separated:
    // "保存数据库/销售数据2024年3月5日14时7分9秒.edb", "配置/fghh.ini".
    std::string path;
    std::uint64_t size = 0;
    std::string sha256;  // 64 lower-case hex digits
    // How the source file looked when it was copied (see backup_source.h);
    // lets the next backup reuse the copy of a file that has not changed.
    std::string stamp;
};

struct Manifest {
    std::vector<ManifestEntry> entries;
    const ManifestEntry* find(std::string_view path) const;
};

// One line per file, tab-separated, file names with control characters and
// "%" written as %XX, and a closing line with the count, so a cut-off
// manifest is refused rather than read as a smaller backup.
std::string manifestText(const Manifest& m);
// Strict reading: any line out of form, a path that is not one a backup
// holds, a path twice or a wrong count gives nullopt and the reason.
std::optional<Manifest> parseManifest(std::string_view text, std::string* why);
// Reads and parses `backupFolder`'s manifest. The file is read whole or not
// at all (a link, a pipe or a file over 64 MiB is refused); `why` may be null.
std::optional<Manifest> readManifest(const std::string& backupFolder, std::string* why);

// Whether a relative path is one a backup may hold and a restore may write:
// a plain ".edb" name inside one of the five data folders, or the settings
// file. Nothing else, so a crafted manifest cannot reach outside the run
// folder or overwrite anything but a table or the settings.
bool isBackupPath(std::string_view path);

}  // namespace shop::backup
