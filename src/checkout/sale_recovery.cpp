#include "sale_recovery.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "checkout/sale_journal.h"
#include "checkout/sale_landing.h"
#include "storage/table.h"

namespace shop::checkout {

namespace st = shop::storage;
namespace fs = std::filesystem;

namespace {

// The journal names a file in the sales folder, nothing else.
bool isSalesTableName(const std::string& name) {
    const std::string prefix = st::kSalesPrefix;
    return name.size() > prefix.size() + 4 && name.compare(0, prefix.size(), prefix) == 0 &&
           fs::path(name).extension() == ".edb" && st::isSafeTableName(name);
}

// Whether the table holds more records than when the rows were journalled:
// only the run's own exit recording adds to it, so the rows are in it.
bool alreadyStored(const std::string& salesPath, int recorded) {
    std::error_code ec;
    if (!fs::is_regular_file(salesPath, ec)) return false;
    if (st::isOpen(salesPath)) return st::select(salesPath) && st::recordCount() > recorded;
    if (!st::open(salesPath, true)) return false;
    const bool stored = st::recordCount() > recorded;
    st::close(salesPath);
    return stored;
}

// A journal done with goes; a damaged one is kept for whoever looks into it.
// Should either fail, the record count it holds keeps the next start from
// storing its rows twice.
void finish(const std::string& journal, RecoveredRun& run) {
    if (!run.damaged) {
        removeJournal(journal);
        return;
    }
    run.keptAs = setJournalAside(journal).value_or(std::string());
}

RecoveredRun recoverOne(const storage::DataPaths& paths, const std::string& journal, OpenSale sale,
                        const std::optional<FinishedSale>& pending, bool damaged) {
    const std::string prefix = st::kSalesPrefix;
    RecoveredRun run;
    run.run = fs::path(sale.salesTable).stem().string().substr(prefix.size());
    run.rows = static_cast<int>(sale.rows.size());
    run.damaged = damaged;
    const std::string salesPath = st::joinPath(paths.runDir, st::kSalesFolder, sale.salesTable);
    if (pending) {
        // The paid sale first, each table's part unless it is there; the
        // list after it counts from the records it leaves.
        run.finishedReceipt = pending->receipt.empty() ? "-" : pending->receipt;
        run.finishedRefund = !pending->original.empty();
        const Landing landed = landSale(paths.runDir, *pending);
        if (!landed.landed()) return run;
        run.finishedStored = true;
        sale.recorded = std::max(sale.recorded, landed.salesRecords);
    }
    if (sale.rows.empty() || alreadyStored(salesPath, sale.recorded)) {
        run.rows = 0;
        run.stored = true;
        finish(journal, run);
        return run;
    }
    const bool wasOpen = st::isOpen(salesPath);
    const RecordingResult result = recordSales(salesPath, sale.rows);
    if (!wasOpen) st::close(salesPath);
    if (result.outcome == ExitRecording::Failed) return run;
    run.unstorable = static_cast<int>(result.unstorable.size());
    run.stored = true;
    finish(journal, run);
    return run;
}

RecoveredRun unreadable(const std::string& journal, bool oversized) {
    RecoveredRun run;
    run.run = fs::path(journal).filename().string();
    run.unreadable = true;
    run.oversized = oversized;
    run.keptAs = setJournalAside(journal).value_or(std::string());
    return run;
}

}  // namespace

std::vector<RecoveredRun> recoverOpenSales(const storage::DataPaths& paths) {
    std::vector<RecoveredRun> recovered;
    for (const std::string& journal : journalsIn(paths.runDir)) {
        JournalContents contents = loadJournal(journal);
        RecoveredRun run =
            contents.sale && isSalesTableName(contents.sale->salesTable)
                ? recoverOne(paths, journal, *contents.sale, contents.pending, contents.damaged)
                : unreadable(journal, contents.oversized);
        if (run.rows > 0 || run.damaged || run.unreadable || !run.finishedReceipt.empty())
            recovered.push_back(std::move(run));
    }
    return recovered;
}

}  // namespace shop::checkout
