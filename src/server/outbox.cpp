#include "outbox.h"

#include <algorithm>
#include <iterator>

#include "storage/data_paths.h"
#include "storage/table_read_all.h"

namespace shop::server {

namespace fs = std::filesystem;
namespace st = shop::storage;

namespace {
constexpr int kSalesFields = 4;
constexpr int kTicketFields = 10;
}  // namespace

Outbox::Outbox(std::string runDir) : m_runDir(std::move(runDir)) {}

std::vector<OutboxTable> Outbox::pending(const UploadCursor& cursor) {
    std::vector<OutboxTable> tickets, out;
    m_pending = 0;
    scanFolder(st::kTicketFolder, st::kTicketPrefix, TableKind::Tickets, cursor, tickets);
    scanFolder(st::kSalesFolder, st::kSalesPrefix, TableKind::Sales, cursor, out);
    // Rows go up before the tickets that cover them.
    std::move(tickets.begin(), tickets.end(), std::back_inserter(out));
    return out;
}

void Outbox::scanFolder(const std::string& folder, const std::string& prefix, TableKind kind,
                        const UploadCursor& cursor, std::vector<OutboxTable>& out) {
    std::error_code ec;
    std::vector<fs::path> files;
    for (fs::directory_iterator it(st::joinPath(m_runDir, folder), ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string file = it->path().filename().string();
        if (file.starts_with(prefix) && file.ends_with(".edb") && it->is_regular_file(ec))
            files.push_back(it->path());
    }
    std::sort(files.begin(), files.end());
    for (const fs::path& path : files) {
        const std::string file = path.filename().string();
        const std::string key = folder + "/" + file;
        const int done = cursor.uploaded(key);
        Seen now{fs::last_write_time(path, ec), fs::file_size(path, ec), 0};
        const auto seen = m_seen.find(key);
        if (seen != m_seen.end() && seen->second.time == now.time &&
            seen->second.size == now.size && seen->second.records <= done)
            continue;  // nothing new since the server took all of it
        const int width = kind == TableKind::Sales ? kSalesFields : kTicketFields;
        st::TableContents contents = st::readAllRecords(path.string(), width);
        if (!contents.opened || contents.width != width) continue;  // tried again next time
        now.records = static_cast<int>(contents.recordCount());
        m_seen[key] = now;
        if (now.records <= done) continue;
        OutboxTable table;
        table.kind = kind;
        table.key = key;
        table.name = file.substr(0, file.size() - 4);
        table.path = path.string();
        table.first = done + 1;
        table.width = width;
        table.cells.assign(contents.cells.begin() + static_cast<std::ptrdiff_t>(done) * width,
                           contents.cells.end());
        m_pending += table.records();
        out.push_back(std::move(table));
    }
}

}  // namespace shop::server
