#include "backup_folders.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <optional>
#include <tuple>
#include <utility>

#include "backup_copy.h"
#include "backup_manifest.h"

namespace shop::backup::detail {

using namespace storage;
namespace fs = std::filesystem;

namespace {

constexpr std::size_t kStampLength = 19;  // 2024-03-05_14-07-09

// The moment part and the sequence number of a backup name; nullopt for any
// other name.
std::optional<std::pair<std::string, unsigned long>> parseName(const std::string& name) {
    static const char pattern[] = "dddd-dd-dd_dd-dd-dd";
    if (name.size() < kStampLength) return std::nullopt;
    for (std::size_t i = 0; i < kStampLength; ++i) {
        const bool digit = name[i] >= '0' && name[i] <= '9';
        if (pattern[i] == 'd' ? !digit : name[i] != pattern[i]) return std::nullopt;
    }
    if (name.size() == kStampLength) return std::pair{name, 1UL};
    const std::string rest = name.substr(kStampLength);
    if (rest.size() < 2 || rest.size() > 6 || rest[0] != '_' || rest[1] == '0') return std::nullopt;
    if (rest.find_first_not_of("0123456789", 1) != std::string::npos) return std::nullopt;
    return std::pair{name.substr(0, kStampLength), std::stoul(rest.substr(1))};
}

// The name part of a moment of the system clock, in local time.
std::string stampOf(std::time_t t) {
    std::tm local{};
    ::localtime_r(&t, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d_%H-%M-%S", &local);
    return text;
}

}  // namespace

std::string freeBackupName(const std::string& destDir, const Moment& at) {
    char base[32];
    std::snprintf(base, sizeof base, "%04d-%02d-%02d_%02d-%02d-%02d", at.year, at.month, at.day,
                  at.hour, at.minute, at.second);
    std::string name = base;
    std::error_code ec;
    for (int n = 2; fs::exists(fs::symlink_status(destDir + "/" + name, ec)); ++n)
        name = std::string(base) + "_" + std::to_string(n);
    return name;
}

std::vector<std::string> finishedBackups(const std::string& destDir) {
    // What counts as ahead of now: a minute's slack for a backup being made.
    const std::time_t ahead = std::time(nullptr) + 60;
    const std::string aheadName = stampOf(ahead);
    struct Found {
        bool future;
        std::int64_t madeNs;
        std::pair<std::string, unsigned long> key;
        std::string name;
    };
    std::vector<Found> found;
    std::error_code ec;
    for (fs::directory_iterator it(destDir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        const auto key = parseName(name);
        std::error_code e2;
        if (!key || !it->is_directory(e2) || it->is_symlink(e2)) continue;
        // The manifest is written once, as the last file of the backup: its
        // time is when the backup was made.
        struct stat st {};
        const std::string manifest = (it->path() / kManifestName).string();
        if (::lstat(manifest.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        const bool future = st.st_mtim.tv_sec > ahead || key->first > aheadName;
        found.push_back(
            {future, static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
             *key, name});
    }
    // A clock once set ahead never makes its backups count as newer than
    // those made since: they come first, as the least wanted.
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        if (a.future != b.future) return a.future;
        return std::tie(a.madeNs, a.key) < std::tie(b.madeNs, b.key);
    });
    std::vector<std::string> out;
    for (auto& f : found) out.push_back(std::move(f.name));
    return out;
}

bool removeBackup(const std::string& destDir, const std::string& name) {
    std::string doomed =
        destDir + "/" + kPartialPrefix + "gone-" + name + "-" + std::to_string(::getpid());
    std::error_code ec;
    fs::rename(destDir + "/" + name, doomed, ec);
    if (ec) return false;
    syncPath(destDir, true);
    fs::remove_all(doomed, ec);
    return !ec;
}

void removeStalePartials(const std::string& destDir) {
    const auto limit = fs::file_time_type::clock::now() - std::chrono::hours(1);
    std::error_code ec;
    std::vector<fs::path> stale;
    for (fs::directory_iterator it(destDir, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code e2;
        if (it->path().filename().string().starts_with(kPartialPrefix) && it->is_directory(e2) &&
            !it->is_symlink(e2) && it->last_write_time(e2) < limit && !e2)
            stale.push_back(it->path());
    }
    for (const auto& p : stale) fs::remove_all(p, ec);
}

}  // namespace shop::backup::detail
