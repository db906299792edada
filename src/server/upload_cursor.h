// How far the server has acknowledged each local table: the number of its
// first records the server holds. Moved only after the server committed
// them, and kept durably (配置/上传进度.txt, replaced whole), so a till that
// stops anywhere resumes where the server stands. A cursor lost or behind
// only replays records the server then stores nothing of twice.
#pragma once

#include <map>
#include <string>

namespace shop::server {

class UploadCursor {
public:
    explicit UploadCursor(std::string runDir);

    // Reads the file; a missing or unreadable file starts from nothing.
    void load();
    int uploaded(const std::string& table) const;
    // Sets the table's count and writes the file; false when it did not last.
    bool advance(const std::string& table, int records);
    const std::map<std::string, int>& tables() const { return m_counts; }

private:
    std::string m_path;
    std::map<std::string, int> m_counts;  // "<folder>/<file>" -> records
};

}  // namespace shop::server
