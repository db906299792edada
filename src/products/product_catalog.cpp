#include "product_catalog.h"

#include "barcodes/barcode_table.h"
#include "storage/data_paths.h"
#include "storage/table.h"
#include "storage/table_replace.h"
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
    // catalogue behind a failed write; the replacement keeps the old one.
    const std::vector<std::string>* columns[] = {&catalog.names, &catalog.prices,
                                                 &catalog.quantities};
    return st::replaceRecords(columns) ? StoreResult::Stored : StoreResult::Failed;
}

EmptyResult emptyCatalogAndGoods(const std::string& productSavePath,
                                 const std::string& barcodesPath) {
    if (!st::isOpen(st::kProductTableName)) return EmptyResult::NoTable;
    {
        // The main window keeps the product-save table open; a visit opens
        // it for the length of this step when it is not.
        const st::TableVisit goods(productSavePath);
        const std::vector<std::string> none;
        const std::vector<std::string>* columns[] = {&none};
        if (!goods.opened() || !st::replaceRecords(columns)) return EmptyResult::GoodsKept;
    }
    if (!st::reattach(st::kProductTableName) || !st::zap()) return EmptyResult::Failed;
    return barcodes::removeAllCodes(barcodesPath).ok() ? EmptyResult::Emptied
                                                       : EmptyResult::CodesKept;
}

}  // namespace shop::products
