#include "barcode_table.h"

#include <filesystem>

#include "storage/schemas.h"
#include "storage/table.h"
#include "storage/table_read_all.h"
#include "storage/table_replace.h"

namespace shop::barcodes {

namespace st = shop::storage;

namespace {

// Opens the table for one write and leaves the thread's tables as they
// were: the table that was current is current again, and the barcode table
// is closed unless it was open before.
class WriteVisit {
public:
    explicit WriteVisit(const std::string& path)
        : m_previous(st::currentPath()), m_wasOpen(st::isOpen(path)) {
        m_status = st::openTable(path);
    }
    ~WriteVisit() {
        if (m_status.ok() && !m_wasOpen) st::close();
        if (!m_previous.empty()) st::select(m_previous);
    }
    WriteVisit(const WriteVisit&) = delete;
    WriteVisit& operator=(const WriteVisit&) = delete;
    const st::Status& status() const { return m_status; }

private:
    std::string m_previous;
    bool m_wasOpen;
    st::Status m_status;
};

st::Status failure() {
    const st::Status s = st::lastStatus();
    return s.ok() ? st::Status::error(st::Status::Code::Invalid, st::currentPath(), "write failed")
                  : s;
}

}  // namespace

st::Status ensureBarcodeTable(const std::string& path) {
    std::error_code ec;
    if (std::filesystem::exists(path, ec)) return st::Status::okStatus();
    const st::Status made = st::createTable(path, st::schemas::barcodes());
    return made.code() == st::Status::Code::Exists ? st::Status::okStatus() : made;
}

std::optional<std::vector<CodeEntry>> readCodes(const std::string& path) {
    const st::TableContents contents = st::readAllRecords(path, 2);
    if (!contents.opened || !contents.status.ok() || contents.width != 2) return std::nullopt;
    std::vector<CodeEntry> out;
    out.reserve(contents.recordCount());
    for (std::size_t i = 0; i + 1 < contents.cells.size(); i += 2)
        out.push_back({contents.cells[i], contents.cells[i + 1]});
    return out;
}

st::Status addCodes(const std::string& path, const std::vector<CodeEntry>& entries) {
    const WriteVisit visit(path);
    if (!visit.status().ok()) return visit.status();
    st::Batch batch;
    for (const CodeEntry& e : entries)
        if (!st::appendBlank() || !st::writeText(1, e.code) || !st::writeText(2, e.goods))
            return failure();
    return batch.commit() ? st::Status::okStatus() : failure();
}

st::Status removeAllCodes(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec) && !ec) return st::Status::okStatus();
    const WriteVisit visit(path);
    if (!visit.status().ok()) return visit.status();
    const std::vector<std::string> none;
    const std::vector<std::string>* columns[] = {&none, &none};
    return st::replaceRecords(columns) ? st::Status::okStatus() : failure();
}

st::Status renameGoods(const std::string& path, const std::string& from, const std::string& to) {
    if (from == to) return st::Status::okStatus();
    const WriteVisit visit(path);
    if (!visit.status().ok()) return visit.status();
    const st::StatusWatch watch;
    const int n = st::recordCount();
    st::Batch batch;
    for (int r = 0; r < n; ++r) {
        if (st::readText(2) == from && !st::writeText(2, to)) return failure();
        st::skip(1);
    }
    if (watch.failed()) return failure();
    return batch.commit() ? st::Status::okStatus() : failure();
}

}  // namespace shop::barcodes
