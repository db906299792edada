#include "run_folder.h"

#include <filesystem>

#include "app/run_directory.h"
#include "storage/schemas.h"
#include "storage/table.h"

namespace shop::test {

namespace fs = std::filesystem;
using namespace shop::storage;

RunFolder::RunFolder() { provision(); }

RunFolder::RunFolder(const std::string& under)
    : m_tmp(QString::fromStdString(under + "/run-XXXXXX")) {
    provision();
}

void RunFolder::provision() {
    m_paths.runDir = m_tmp.path().toStdString();
    for (const char* folder : {kProductFolder, kSalesFolder, kEmployeeFolder, kLeaveFolder,
                               kSalaryFolder, kSettingsFolder, kTicketFolder})
        fs::create_directories(joinPath(m_paths.runDir, folder));
    create(m_paths.product(), schemas::product());
    create(m_paths.productSave(), schemas::productSave());
    create(m_paths.barcodes(), schemas::barcodes());
    create(m_paths.employee(), schemas::employee());
    app::setRunDirectory(m_paths.runDir);
}

RunFolder::~RunFolder() { closeAll(); }

void RunFolder::setProducts(const std::vector<std::vector<std::string>>& rows) const {
    writeAll(m_paths.product(), rows);
}

void RunFolder::setProductSave(const std::vector<std::string>& names) const {
    std::vector<std::vector<std::string>> rows;
    for (const auto& n : names) rows.push_back({n});
    writeAll(m_paths.productSave(), rows);
}

namespace {
// Remembers the current table and makes it current again afterwards.
struct KeepCurrent {
    std::string path = currentPath();
    ~KeepCurrent() {
        if (!path.empty()) select(path);
    }
};
}  // namespace

std::vector<std::vector<std::string>> readAll(const std::string& path) {
    std::vector<std::vector<std::string>> rows;
    const bool wasOpen = [&] {
        KeepCurrent keep;
        return select(path);
    }();
    KeepCurrent keep;
    if (!open(path, true)) return rows;
    const int n = recordCount();
    const int nf = static_cast<int>(fields().size());
    for (int i = 0; i < n; ++i) {
        std::vector<std::string> row;
        for (int f = 1; f <= nf; ++f) row.push_back(readText(f));
        rows.push_back(std::move(row));
        skip(1);
    }
    if (!wasOpen) close();
    return rows;
}

void writeAll(const std::string& path, const std::vector<std::vector<std::string>>& rows) {
    KeepCurrent keep;
    const bool wasOpen = select(path);
    if (!open(path)) return;
    Batch batch;
    zap();
    for (const auto& row : rows) {
        appendBlank();
        for (std::size_t f = 0; f < row.size(); ++f) writeText(static_cast<int>(f) + 1, row[f]);
    }
    batch.commit();
    if (!wasOpen) close();
}

}  // namespace shop::test
