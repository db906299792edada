#include "sale_recording.h"

#include "checkout/run_tables.h"
#include "storage/schemas.h"
#include "storage/table.h"
#include "storage/table_replace.h"
#include "storage/text.h"

namespace shop::checkout {

namespace st = shop::storage;

bool fitsSalesTable(const SaleRow& row) {
    static const std::vector<st::FieldDesc> fields = st::schemas::sales();
    const std::string* cells[] = {&row.name, &row.price, &row.quantity, &row.date};
    for (std::size_t i = 0; i < fields.size() && i < std::size(cells); ++i) {
        const auto length = st::gbkLength(*cells[i]);
        if (!length || *length > static_cast<std::size_t>(fields[i].maxLength)) return false;
    }
    return true;
}

namespace {
bool appendRow(const SaleRow& row) {
    return st::appendBlank() && st::writeText(1, row.name) && st::writeText(2, row.price) &&
           st::writeText(3, row.quantity) && st::writeText(4, row.date);
}
}  // namespace

RecordingResult recordSales(const std::string& salesPath, const std::vector<SaleRow>& rows) {
    RecordingResult result;
    if (rows.empty()) {
        st::close();
        result.outcome = ExitRecording::NothingToRecord;
        return result;
    }
    // A run whose table could not be made at start gets it now: the disk may
    // have room again, the folder may be back. A table deleted while the run
    // went on (or its folder made again empty) is made again at its path.
    const bool ready =
        st::isOpen(salesPath)
            ? st::reattach(salesPath)
            : startSalesTable(salesPath) == SalesTableStart::Opened && st::select(salesPath);
    if (!ready) return result;

    st::Batch batch;
    bool written = batch.active();
    for (std::size_t i = 0; i < rows.size() && written; ++i) {
        if (!fitsSalesTable(rows[i])) {
            result.unstorable.push_back(i);
            continue;
        }
        written = appendRow(rows[i]);
    }
    if (!written || !batch.commit()) {
        result.unstorable.clear();
        return result;  // the batch rolls back: nothing of the sale is stored
    }
    result.outcome =
        result.unstorable.empty() ? ExitRecording::Recorded : ExitRecording::RecordedAllThatFit;
    result.recordCount = st::recordCount();
    return result;
}

GoodsSave saveGoodsList(const std::string& productSavePath, const std::vector<std::string>& names) {
    // Kept open the whole run: made again if its file went meanwhile.
    if (!st::reattach(productSavePath)) return GoodsSave::NotSelectable;
    if (names.empty()) return GoodsSave::Failed;
    // The table becomes the list as it stands, in one replacement: saving
    // again stores nothing twice, and a name that cannot be stored leaves the
    // list saved before.
    const std::vector<std::string>* columns[] = {&names};
    return st::replaceRecords(columns) ? GoodsSave::Saved : GoodsSave::Failed;
}

}  // namespace shop::checkout
