#include "sale_model.h"

#include <QCoreApplication>
#include <QEvent>
#include <algorithm>
#include <filesystem>

#include "checkout/sale_landing.h"
#include "checkout/stock_changes.h"
#include "storage/data_paths.h"
#include "storage/date_text.h"
#include "storage/text.h"

namespace shop::checkout {

namespace {
Fen lineAmount(const SaleRow& row) {
    return timesSaturated(fenFromText(row.price), storage::leadingInt(row.quantity));
}

// Posted at low priority, behind the list's own repaint, which the added
// line has just asked for: the line is on screen before its sync begins.
const QEvent::Type kCatchUpJournal = static_cast<QEvent::Type>(QEvent::registerEventType());
}  // namespace

SaleModel::SaleModel(QObject* parent) : QObject(parent) {}

SaleModel::~SaleModel() { catchUpJournal(); }

void SaleModel::beginRun(std::string salesPath, SaleJournal journal) {
    m_salesPath = std::move(salesPath);
    m_journal = std::move(journal);
}

void SaleModel::beginTickets(std::string runDir, ReceiptNumbers numbers) {
    m_runDir = std::move(runDir);
    m_receipts = std::move(numbers);
}

std::vector<SaleRow> SaleModel::rows() const {
    std::vector<SaleRow> out;
    out.reserve(m_lines.size());
    for (const SaleLine& line : m_lines) out.push_back(line.row);
    return out;
}

void SaleModel::addLine(SaleLine line, JournalWhen when) {
    m_lines.push_back(std::move(line));
    if (when == JournalWhen::BeforeShowing) {
        changed();
        return;
    }
    computeTotal();
    Q_EMIT linesChanged();
    if (m_journalBehind) return;  // the sync already on its way takes this line too
    m_journalBehind = true;
    QCoreApplication::postEvent(this, new QEvent(kCatchUpJournal), Qt::LowEventPriority);
}

bool SaleModel::event(QEvent* event) {
    if (event->type() != kCatchUpJournal) return QObject::event(event);
    catchUpJournal();
    return true;
}

void SaleModel::catchUpJournal() {
    if (!m_journalBehind) return;
    const bool wasFailing = m_journalFailing;
    journalList();
    if (m_journalFailing != wasFailing) Q_EMIT journalFailureChanged(m_journalFailing);
}

void SaleModel::noteReceipted() {
    catchUpJournal();  // the customer may keep the receipt: its lines are kept first
    m_receipted = !m_lines.empty();
}

bool SaleModel::journalAgain() {
    m_journalBehind = false;
    return m_journal.update(rows());
}

bool SaleModel::removeLine(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= m_lines.size()) return false;
    m_lines.erase(m_lines.begin() + index);
    changed();
    return true;
}

void SaleModel::clear() {
    m_lines.clear();
    changed();
}

void SaleModel::setTendered(std::string text) {
    m_tendered = std::move(text);
    Q_EMIT tenderedChanged();
}

Fen SaleModel::change() const {
    return plusSaturated(fenFromText(m_tendered), m_total == INT64_MIN ? INT64_MAX : -m_total);
}

// After every change of the list its amounts are those of the lines in it,
// and the journal says what the list is, so a crash loses no line. A journal
// that cannot be written does not stop the sale: the recording still stores
// the list.
void SaleModel::changed() {
    if (m_lines.empty()) m_receipted = false;
    computeTotal();
    const bool wasFailing = m_journalFailing;
    journalList();
    Q_EMIT linesChanged();
    if (m_journalFailing != wasFailing) Q_EMIT journalFailureChanged(m_journalFailing);
}

void SaleModel::computeTotal() {
    m_total = 0;
    for (const SaleLine& line : m_lines) m_total = plusSaturated(m_total, lineAmount(line.row));
}

// The whole list as it is: lines still owed to the journal go with it.
void SaleModel::journalList() {
    m_journalBehind = false;
    m_journalFailing = !m_journal.update(rows());
}

bool SaleModel::finishPending(std::string* failure) {
    const std::optional<FinishedSale> sale = m_journal.pending();
    if (!sale) return true;
    const Landing landing = landSale(m_runDir, *sale);
    if (!landing.landed()) {
        if (failure) *failure = landing.failure;
        return false;
    }
    m_journal.landed(landing.salesRecords);
    Q_EMIT saleFinished(*sale);
    return true;
}

CheckoutResult SaleModel::checkout(const Payment& payment) {
    if (m_lines.empty()) return {};
    const bool cash = payment.method == PaymentMethod::Cash;
    const Fen tendered = cash ? fenFromText(m_tendered) : m_total;
    FinishedSale sale;
    sale.lines = m_lines;
    sale.total = m_total;
    sale.tendered = tendered;
    sale.change = tendered - m_total;
    sale.method = payment.method;
    sale.cashier = payment.cashier;
    return store(std::move(sale), payment.moment);
}

CheckoutResult SaleModel::refund(std::vector<SaleLine> lines, const std::string& original,
                                 const Payment& payment) {
    if (lines.empty()) return {};
    FinishedSale refund;
    refund.original = original;
    for (const SaleLine& line : lines)
        refund.total = plusSaturated(refund.total, lineAmount(line.row));
    refund.lines = std::move(lines);
    refund.tendered = refund.total;  // paid back whole
    refund.method = payment.method;
    refund.cashier = payment.cashier;
    return store(std::move(refund), payment.moment);
}

CheckoutResult SaleModel::store(FinishedSale sale, const storage::Moment& moment) {
    catchUpJournal();  // a line paid for was journalled as shown
    CheckoutResult result;
    if (!finishPending(&result.failure)) {
        result.outcome = CheckoutOutcome::EarlierPending;
        return result;
    }
    if (sale.tendered < sale.total) {
        result.outcome = CheckoutOutcome::ShortCash;
        return result;
    }
    for (const SaleLine& line : sale.lines) {
        if (!fitsSalesTable(line.row)) {
            result.outcome = CheckoutOutcome::Unstorable;
            return result;
        }
    }
    const auto records = salesRecords(m_salesPath);
    if (!records) {
        result.outcome = CheckoutOutcome::EarlierPending;
        result.failure = "销售表无法读取：" + m_salesPath;
        return result;
    }
    const auto receipt = m_receipts.next(moment);
    if (!receipt) {
        result.outcome = CheckoutOutcome::NoReceiptNumber;
        result.failure = "收款记录无法读取，今天的小票编号无法接续：" +
                         storage::DataPaths{m_runDir}.ticketFolder();
        return result;
    }
    sale.receipt = *receipt;
    sale.salesTable = std::filesystem::path(m_salesPath).filename().string();
    sale.firstRecord = *records + 1;
    sale.moment = storage::dateText(moment);
    StockPlan stock = planStock(storage::DataPaths{m_runDir}.product(), sale.lines);
    sale.stock = std::move(stock.changes);
    result.stockNotes = std::move(stock.notes);

    // The journal holds the sale before any table does; a sale's list is
    // the next customer's from here on, whatever the tables do.
    m_journal.begin(sale);
    if (sale.original.empty()) {
        m_lines.clear();
        m_tendered.clear();
    }
    changed();
    result.sale = sale;
    const Landing landing = landSale(m_runDir, sale);
    if (!landing.landed()) {
        result.outcome = CheckoutOutcome::Pending;
        result.failure = landing.failure;
        return result;
    }
    m_journal.landed(landing.salesRecords);
    result.outcome = CheckoutOutcome::Finished;
    Q_EMIT saleFinished(sale);
    return result;
}

RecordingResult SaleModel::recordOpenList() {
    // Should the recording fail, the journal holds every line on screen.
    catchUpJournal();
    // A sale paid for goes in first: the list's lines follow its records.
    if (!finishPending()) return {};
    const RecordingResult result = recordSales(m_salesPath, rows());
    switch (result.outcome) {
        case ExitRecording::NothingToRecord:
        case ExitRecording::Recorded:
            m_journal.remove();
            return result;
        case ExitRecording::Failed:
            return result;
        case ExitRecording::RecordedAllThatFit:
            break;
    }
    // A line with a cell too long for its field can never be stored. The
    // others are stored and leave the list; that line stays, so the loss is
    // seen and the cashier can delete it and try again.
    std::vector<SaleLine> kept;
    for (const std::size_t i : result.unstorable) kept.push_back(m_lines[i]);
    m_lines = std::move(kept);
    m_journal.setRecorded(result.recordCount);
    changed();
    return result;
}

}  // namespace shop::checkout
