// The outbox of a till is its own table files: every sales table (rows of
// 收款, refunds and the exit recording) and every ticket table. This finds
// the records of each past what the server has acknowledged.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "server/upload_cursor.h"

namespace shop::server {

enum class TableKind { Sales, Tickets };

struct OutboxTable {
    TableKind kind = TableKind::Sales;
    std::string key;   // "<folder>/<file>", the cursor's name for it
    std::string name;  // file name without ".edb": the server's run table
    std::string path;
    int first = 1;  // record number of the first row below (1-based)
    int width = 0;  // values per record
    std::vector<std::string> cells;
    int records() const { return width ? static_cast<int>(cells.size()) / width : 0; }
};

class Outbox {
public:
    explicit Outbox(std::string runDir);

    // Every table with records past the cursor, sales tables first. The
    // ticket tables are read before them, so every ticket given has its rows
    // given too, ahead of it. Tables unchanged on disk since the last look
    // are not read again.
    std::vector<OutboxTable> pending(const UploadCursor& cursor);
    // Records the last look found past the cursor (after `pending`).
    int pendingRecords() const { return m_pending; }

private:
    struct Seen {
        std::filesystem::file_time_type time;
        std::uintmax_t size = 0;
        int records = 0;
    };
    void scanFolder(const std::string& folder, const std::string& prefix, TableKind kind,
                    const UploadCursor& cursor, std::vector<OutboxTable>& out);

    std::string m_runDir;
    std::map<std::string, Seen> m_seen;
    int m_pending = 0;
};

}  // namespace shop::server
