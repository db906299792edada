#include "upload_cursor.h"

#include <charconv>
#include <fstream>
#include <sstream>

#include "storage/data_paths.h"
#include "storage/file_replace.h"

namespace shop::server {

UploadCursor::UploadCursor(std::string runDir)
    : m_path(storage::joinPath(runDir, storage::kSettingsFolder, "上传进度.txt")) {}

void UploadCursor::load() {
    m_counts.clear();
    std::ifstream in(m_path);
    std::string line;
    while (std::getline(in, line)) {
        const std::size_t tab = line.find('\t');
        if (tab == std::string::npos) continue;
        int count = 0;
        const auto [end, ec] = std::from_chars(line.data(), line.data() + tab, count);
        if (ec == std::errc() && end == line.data() + tab && count >= 0)
            m_counts[line.substr(tab + 1)] = count;
    }
}

int UploadCursor::uploaded(const std::string& table) const {
    const auto it = m_counts.find(table);
    return it == m_counts.end() ? 0 : it->second;
}

bool UploadCursor::advance(const std::string& table, int records) {
    m_counts[table] = records;
    std::ostringstream out;
    for (const auto& [name, count] : m_counts) out << count << '\t' << name << '\n';
    return storage::replaceFile(m_path, out.str());
}

}  // namespace shop::server
