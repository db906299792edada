#include "sale_model.h"

#include <algorithm>
#include <cstdio>

#include "storage/text.h"

namespace shop::checkout {

namespace {
Fen lineAmount(const SaleRow& row) {
    return timesSaturated(fenFromText(row.price), storage::leadingInt(row.quantity));
}
}  // namespace

SaleModel::SaleModel(QObject* parent) : QObject(parent) {}

SaleModel::~SaleModel() = default;

void SaleModel::beginRun(std::string salesPath, SaleJournal journal) {
    m_salesPath = std::move(salesPath);
    m_journal = std::move(journal);
}

std::vector<SaleRow> SaleModel::rows() const {
    std::vector<SaleRow> out;
    out.reserve(m_lines.size());
    for (const SaleLine& line : m_lines) out.push_back(line.row);
    return out;
}

void SaleModel::addLine(SaleLine line) {
    m_lines.push_back(std::move(line));
    changed();
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
    m_total = 0;
    for (const SaleLine& line : m_lines) m_total = plusSaturated(m_total, lineAmount(line.row));
    const bool journalled = m_journal.update(rows());
    if (!journalled && !m_journalFailing)  // said once per spell of failures
        std::fprintf(stderr, "澄屿店铺管理系统：未结销售日志写入失败：%s\n",
                     m_journal.path().c_str());
    const bool failingChanged = m_journalFailing == journalled;
    m_journalFailing = !journalled;
    Q_EMIT linesChanged();
    if (failingChanged) Q_EMIT journalFailureChanged(m_journalFailing);
}

RecordingResult SaleModel::recordOpenList() {
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
