#include "sale_recording.h"

#include "storage/table.h"

namespace shop::checkout {

namespace st = shop::storage;

ExitRecording recordSales(const std::string& salesPath, const std::vector<SaleRow>& rows) {
    if (rows.empty()) {
        st::close();
        return ExitRecording::NothingToRecord;
    }
    if (!st::select(salesPath)) return ExitRecording::NoSalesTable;

    st::Batch batch;
    bool allWritten = batch.active();
    for (const SaleRow& row : rows) {
        if (!st::appendBlank()) {
            allWritten = false;
            continue;
        }
        // Every result counts: a field lost in an early row is as much a loss
        // as one in the last row.
        allWritten = st::writeText(1, row.name) && allWritten;
        allWritten = st::writeText(2, row.price) && allWritten;
        allWritten = st::writeText(3, row.quantity) && allWritten;
        allWritten = st::writeText(4, row.date) && allWritten;
    }
    const bool committed = batch.commit();
    return committed && allWritten ? ExitRecording::Recorded : ExitRecording::Failed;
}

GoodsSave saveGoodsList(const std::string& productSavePath, const std::vector<std::string>& names) {
    if (!st::select(productSavePath)) return GoodsSave::NotSelectable;
    bool lastWritten = false;
    for (const std::string& name : names) {
        st::appendBlank();
        lastWritten = st::writeText(1, name);
    }
    return lastWritten ? GoodsSave::Saved : GoodsSave::Failed;
}

}  // namespace shop::checkout
