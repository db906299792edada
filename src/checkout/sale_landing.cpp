#include "sale_landing.h"

#include <filesystem>
#include <system_error>

#include "checkout/run_tables.h"
#include "checkout/ticket_table.h"
#include "storage/data_paths.h"
#include "storage/schemas.h"
#include "storage/table.h"
#include "storage/table_visit.h"

namespace shop::checkout {

namespace st = shop::storage;

namespace {

// Puts the current table back when the landing is done with its tables.
class KeepCurrent {
public:
    KeepCurrent() : m_path(st::currentPath()) {}
    ~KeepCurrent() {
        if (!m_path.empty()) st::select(m_path);
    }
    KeepCurrent(const KeepCurrent&) = delete;
    KeepCurrent& operator=(const KeepCurrent&) = delete;

private:
    std::string m_path;
};

bool appendRecord(const std::vector<const std::string*>& fields) {
    if (!st::appendBlank()) return false;
    for (std::size_t i = 0; i < fields.size(); ++i)
        if (!st::writeText(static_cast<int>(i) + 1, *fields[i])) return false;
    return true;
}

// The lines go in after the records the table held when the sale was rung
// up; a table holding more has them already (only this run writes it).
bool writeLines(const std::string& salesPath, const FinishedSale& sale, Landing& out) {
    if (st::isOpen(salesPath)) {
        if (!st::select(salesPath)) return false;
    } else if (std::filesystem::exists(salesPath)) {
        if (!st::open(salesPath)) return false;
    } else if (startSalesTable(salesPath) != SalesTableStart::Opened) {
        return false;
    }
    const auto count = st::countRecords();
    if (!count) return false;
    if (*count >= sale.firstRecord) {
        out.salesRecords = *count;
        out.firstRecord = sale.firstRecord;
        return true;
    }
    // Fewer records than the sale was rung up against (the table was made
    // anew): the lines go at its end, and the ticket says where.
    out.firstRecord = *count + 1;
    st::Batch batch;
    bool written = batch.active();
    for (std::size_t i = 0; i < sale.lines.size() && written; ++i) {
        const SaleRow& r = sale.lines[i].row;
        written = appendRecord({&r.name, &r.price, &r.quantity, &r.date});
    }
    if (!written || !batch.commit()) return false;
    out.salesRecords = st::recordCount();
    return true;
}

// The run's own table stays open for the run; a table of an earlier run (a
// sale finished at the next start) is closed again.
bool landLines(const std::string& salesPath, const FinishedSale& sale, Landing& out) {
    const bool wasOpen = st::isOpen(salesPath);
    const bool landed = writeLines(salesPath, sale, out);
    if (!wasOpen) st::close(salesPath);
    return landed;
}

// The ticket is the last one of its table once stored: the sales of a run
// land one after the other.
bool landTicket(const std::string& runDir, const FinishedSale& sale) {
    const std::string path = ticketTablePath(runDir, sale.salesTable);
    if (!provideTicketTable(path)) return false;
    st::TableVisit visit(path);
    if (!visit.opened()) return false;
    const auto count = st::countRecords();
    if (!count) return false;
    if (*count > 0) {
        st::skip(*count - 1);
        if (st::readText(st::schemas::ticket_field::kReceipt) == sale.receipt) return true;
    }
    const Ticket t = ticketOf(sale);
    st::Batch batch;
    return batch.active() &&
           appendRecord({&t.receipt, &t.original, &t.salesTable, &t.records, &t.total, &t.tendered,
                         &t.change, &t.method, &t.cashier, &t.moment}) &&
           batch.commit();
}

bool landStock(const std::string& runDir, const FinishedSale& sale, Landing& out) {
    if (sale.stock.empty()) return true;
    st::TableVisit visit(st::DataPaths{runDir}.product());
    if (!visit.opened()) return false;
    st::Batch batch;
    bool written = batch.active();
    for (const StockChange& change : sale.stock) {
        if (!written) break;
        st::skip(change.record - st::position());
        const std::string stock = st::readText(3);
        if (st::readText(1) != change.name || (stock != change.before && stock != change.after)) {
            out.stockNotes.push_back(change.name);
            continue;
        }
        if (stock == change.before) written = st::writeText(3, change.after);
    }
    return written && batch.commit();
}

}  // namespace

std::optional<int> salesRecords(const std::string& salesPath) {
    const KeepCurrent keep;
    if (!st::isOpen(salesPath) && !std::filesystem::exists(salesPath)) return 0;
    st::TableVisit visit(salesPath);
    if (!visit.opened()) return std::nullopt;
    return st::countRecords();
}

Landing landSale(const std::string& runDir, const FinishedSale& sale) {
    const KeepCurrent keep;
    Landing out;
    const std::string salesPath = st::joinPath(runDir, st::kSalesFolder, sale.salesTable);
    out.lines = landLines(salesPath, sale, out);
    if (!out.lines) {
        out.failure = "销售记录未能存入 " + salesPath;
        return out;
    }
    // The ticket names the records the lines are in.
    FinishedSale placed = sale;
    placed.firstRecord = out.firstRecord;
    out.ticket = sale.receipt.empty() || landTicket(runDir, placed);
    if (!out.ticket) {
        out.failure = "小票未能存入 " + ticketTablePath(runDir, sale.salesTable);
        return out;
    }
    out.stock = landStock(runDir, sale, out);
    if (!out.stock) out.failure = "库存未能更新";
    return out;
}

}  // namespace shop::checkout
