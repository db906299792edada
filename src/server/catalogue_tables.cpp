// The catalogue's side in the run folder: read from, and written into, the
// till's own tables.
#include <charconv>
#include <filesystem>

#include "server/catalogue.h"
#include "storage/data_paths.h"
#include "storage/schemas.h"
#include "storage/table.h"
#include "storage/table_read_all.h"
#include "storage/table_replace.h"

namespace shop::server {

namespace {

std::string replaceTable(const std::string& path,
                         std::span<const std::vector<std::string>* const> columns) {
    if (!storage::open(path)) return storage::lastStatus().message();
    const bool replaced = storage::replaceRecords(columns);
    const std::string error = replaced ? "" : storage::lastStatus().message();
    storage::close(path);
    return error;
}

// A run folder from before barcodes has no barcode table: it gets one.
std::string ensureTable(const std::string& path, const std::vector<storage::FieldDesc>& fields) {
    std::error_code ec;
    if (std::filesystem::exists(path, ec)) return {};
    const storage::Status made = storage::createTable(path, fields);
    return made.ok() || made.code() == storage::Status::Code::Exists ? "" : made.message();
}

}  // namespace

Catalogue localCatalogue(const std::string& runDir, std::string* error) {
    const storage::DataPaths paths{runDir};
    Catalogue catalogue;
    const storage::TableContents t = storage::readAllRecords(paths.product(), 3);
    if (!t.opened || t.width != 3) {
        if (error) *error = t.status.message();
        return catalogue;
    }
    for (std::size_t r = 0; r < t.recordCount(); ++r) {
        CatalogueItem item{t.cells[r * 3], t.cells[r * 3 + 1], 0};
        const std::string& stock = t.cells[r * 3 + 2];
        const auto [end, ec] =
            std::from_chars(stock.data(), stock.data() + stock.size(), item.stock);
        if (ec != std::errc() || end != stock.data() + stock.size()) item.stock = 0;
        catalogue.items.push_back(std::move(item));
    }
    std::error_code ec;
    if (!std::filesystem::exists(paths.barcodes(), ec)) return catalogue;
    const storage::TableContents codes = storage::readAllRecords(paths.barcodes(), 2);
    if (!codes.opened || codes.width != 2) {
        if (error) *error = codes.status.message();
        return {};
    }
    for (std::size_t r = 0; r < codes.recordCount(); ++r)
        catalogue.codes.push_back({codes.cells[r * 2], codes.cells[r * 2 + 1]});
    return catalogue;
}

std::string applyCatalogue(const std::string& runDir, const Catalogue& catalogue) {
    if (catalogue.items.empty() && catalogue.revision == 0)
        return "the server's catalogue is empty";
    const auto [names, prices, stocks, codes, goods] = columnsOf(catalogue);
    const storage::DataPaths paths{runDir};
    const std::vector<std::string>* product[] = {&names, &prices, &stocks};
    if (std::string e = replaceTable(paths.product(), product); !e.empty()) return e;
    const std::vector<std::string>* goodsList[] = {&names};
    if (std::string e = replaceTable(paths.productSave(), goodsList); !e.empty()) return e;
    if (std::string e = ensureTable(paths.barcodes(), storage::schemas::barcodes()); !e.empty())
        return e;
    const std::vector<std::string>* barcodeTable[] = {&codes, &goods};
    return replaceTable(paths.barcodes(), barcodeTable);
}

}  // namespace shop::server
