#include "product_catalog.h"

#include "storage/data_paths.h"
#include "storage/table.h"
#include "storage/table_visit.h"

namespace shop::products {

namespace st = shop::storage;

std::optional<Catalog> readCatalog(const std::string& path) {
    if (!st::select(path)) return std::nullopt;
    const auto rows = st::readTextRowsChecked(3);
    if (!rows) return std::nullopt;
    Catalog c;
    c.names.reserve(rows->size());
    c.prices.reserve(rows->size());
    c.quantities.reserve(rows->size());
    for (const auto& row : *rows) {
        c.names.push_back(row[0]);
        c.prices.push_back(row[1]);
        c.quantities.push_back(row[2]);
    }
    return c;
}

StoreResult storeCatalog(const Catalog& catalog) {
    // By name, whatever another handler (the import) made current meanwhile;
    // made again if its file went while the window was open.
    if (!st::reattach(st::kProductTableName)) return StoreResult::NoTable;
    if (catalog.prices.size() != catalog.names.size() ||
        catalog.quantities.size() != catalog.names.size())
        return StoreResult::Failed;
    // Zapping and then writing record by record would leave a partly erased
    // catalogue behind a failed write; the batch keeps the old one instead.
    st::Batch batch;
    if (!batch.active() || !st::zap()) return StoreResult::Failed;
    for (std::size_t k = 0; k < catalog.names.size(); ++k) {
        if (!st::appendBlank() || !st::writeText(1, catalog.names[k]) ||
            !st::writeText(2, catalog.prices[k]) || !st::writeText(3, catalog.quantities[k]))
            return StoreResult::Failed;  // the batch rolls back
    }
    return batch.commit() ? StoreResult::Stored : StoreResult::Failed;
}

bool emptyProductTable() { return st::select(st::kProductTableName) && st::zap(); }

}  // namespace shop::products
