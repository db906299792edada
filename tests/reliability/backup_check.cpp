#include "backup_check.h"

#include <filesystem>

#include "backup/backup_manifest.h"
#include "storage/sha256.h"

namespace shop::test {

namespace fs = std::filesystem;
using namespace shop::backup;
using shop::storage::sha256File;

std::string backupProblem(const std::string& folder) {
    std::string why;
    const auto manifest = readManifest(folder, &why);
    if (!manifest) return "manifest: " + why;
    for (const ManifestEntry& e : manifest->entries) {
        const std::string path = folder + "/" + e.path;
        std::error_code ec;
        const auto size = fs::file_size(path, ec);
        const auto sum = ec ? std::nullopt : sha256File(path);
        if (ec || size != e.size || !sum || *sum != e.sha256) return e.path + " differs";
    }
    for (const auto& f : fs::recursive_directory_iterator(folder)) {
        const std::string rel = fs::relative(f.path(), folder).generic_string();
        if (f.path().extension() == ".edb" && !manifest->find(rel)) return rel + " not listed";
    }
    return {};
}

namespace {
std::vector<std::string> backups(const std::string& destDir, bool finished) {
    std::vector<std::string> found;
    std::error_code ec;
    for (const auto& b : fs::directory_iterator(destDir, ec))
        if (b.is_directory() && (b.path().filename().string().front() != '.') == finished)
            found.push_back(b.path().string());
    return found;
}
}  // namespace

std::vector<std::string> finishedBackups(const std::string& destDir) {
    return backups(destDir, true);
}

std::vector<std::string> partialBackups(const std::string& destDir) {
    return backups(destDir, false);
}

}  // namespace shop::test
