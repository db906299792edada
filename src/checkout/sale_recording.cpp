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
    if (names.empty()) return GoodsSave::Failed;
    // All names or none: a name that cannot be stored must not pass as
    // saved because a later one could, nor leave the list half appended.
    st::Batch batch;
    bool allWritten = batch.active();
    for (const std::string& name : names) allWritten = allWritten && st::appendBlank() && st::writeText(1, name);
    return allWritten && batch.commit() ? GoodsSave::Saved : GoodsSave::Failed;
}

}  // namespace shop::checkout
