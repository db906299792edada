#include "close_table.h"

#include <filesystem>
#include <system_error>

#include "storage/schemas.h"
#include "storage/table.h"
#include "storage/table_read_all.h"
#include "storage/table_visit.h"
#include "storage/text.h"

namespace shop::dayclose {

namespace fs = std::filesystem;
namespace st = shop::storage;

namespace {

constexpr int kFields = st::schemas::day_close_field::kCount;

bool provide(const std::string& path) {
    std::error_code ec;
    fs::create_directories(fs::path(path).parent_path(), ec);
    const st::Status made = st::createTable(path, st::schemas::dayCloses());
    return made.ok() || made.code() == st::Status::Code::Exists;
}

bool write(const std::string& path, const std::vector<std::string>& fields) {
    st::TableVisit visit(path);
    if (!visit.opened() || st::fields().size() != fields.size()) return false;
    st::Batch batch;
    bool written = batch.active() && st::appendBlank();
    for (std::size_t i = 0; i < fields.size() && written; ++i)
        written = st::writeText(static_cast<int>(i) + 1, fields[i]);
    return written && batch.commit();
}

}  // namespace

std::string appendClose(const std::string& path, const CloseRecord& record) {
    const std::vector<std::string> fields = closeFields(record);
    const auto& schema = st::schemas::dayCloses();
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const auto length = st::gbkLength(fields[i]);
        if (!length || *length > static_cast<std::size_t>(schema[i].maxLength))
            return "“" + schema[i].name + "”太长，无法保存";
    }
    if (!provide(path)) return "日结表无法创建：" + path;
    const std::string current = st::currentPath();
    const bool stored = write(path, fields);
    if (!current.empty()) st::select(current);
    return stored ? std::string() : "日结未能存入 " + path;
}

StoredCloses readCloses(const std::string& path) {
    StoredCloses out;
    std::error_code ec;
    if (!fs::exists(path, ec)) return out;
    const st::TableContents contents = st::readAllRecords(path, kFields);
    if (!contents.opened || contents.width != kFields || !contents.status.ok()) {
        out.readable = false;
        return out;
    }
    for (std::size_t r = 0; r < contents.recordCount(); ++r) {
        const auto begin = contents.cells.begin() + static_cast<std::ptrdiff_t>(r * kFields);
        if (auto close = closeFromFields({begin, begin + kFields}))
            out.closes.push_back(std::move(*close));
    }
    return out;
}

}  // namespace shop::dayclose
