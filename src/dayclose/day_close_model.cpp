#include "day_close_model.h"

#include "close_table.h"
#include "day_records.h"
#include "storage/data_paths.h"

namespace shop::dayclose {

namespace ck = shop::checkout;
namespace st = shop::storage;

namespace {

// A typed amount: empty is `none`, a money text its value, anything else
// nullopt with `valid` false.
std::optional<Fen> typedMoney(std::string_view text, std::optional<Fen> none, bool& valid) {
    if (text.find_first_not_of(' ') == std::string_view::npos) {
        valid = true;
        return none;
    }
    const auto money = ck::parseMoney(text);
    valid = money.has_value();
    return money;
}

}  // namespace

DayCloseModel::DayCloseModel(std::string runDir, std::string cashier)
    : m_runDir(std::move(runDir)), m_cashier(std::move(cashier)) {}

void DayCloseModel::load(const st::Moment& now) {
    const st::DataPaths paths{m_runDir};
    m_day = st::datePartText(now);
    m_earlier.clear();
    m_unreadable.clear();
    const StoredCloses stored = readCloses(paths.dayCloses());
    if (!stored.readable) m_unreadable.push_back(paths.dayCloses());
    std::optional<CloseMark> mark;
    for (const CloseRecord& close : stored.closes) {
        if (close.day != m_day) continue;
        m_earlier.push_back(close);
        if (!close.figures.end.salesTable.empty()) mark = close.figures.end;
    }
    m_carried.reset();
    if (!stored.closes.empty()) m_carried = stored.closes.back().countedCash;
    m_float = m_carried.value_or(0);

    DayRecords records = readDay(m_runDir, now);
    m_figures = dayFigures(records, now, mark);
    m_unreadable.insert(m_unreadable.end(), records.unreadable.begin(), records.unreadable.end());
}

bool DayCloseModel::setOpeningFloat(std::string_view text) {
    bool valid = false;
    m_float = typedMoney(text, Fen{0}, valid);
    return valid;
}

bool DayCloseModel::setCounted(std::string_view text) {
    m_counted = typedMoney(text, std::nullopt, m_countedValid);
    return m_countedValid;
}

std::optional<Fen> DayCloseModel::expectedCash() const {
    if (!m_float) return std::nullopt;
    return dayclose::expectedCash(m_figures, *m_float);
}

std::optional<Fen> DayCloseModel::difference() const {
    const auto expected = expectedCash();
    if (!expected || !m_counted) return std::nullopt;
    return ck::plusSaturated(*m_counted, -*expected);
}

std::string DayCloseModel::confirmBlocker() const {
    if (!m_unreadable.empty()) return "有记录表无法读取，日结数字不完整，不能确认";
    if (!m_float) return "备用金不是金额";
    if (!m_countedValid) return "实点现金不是金额";
    if (!m_counted) return "请输入实点现金";
    return {};
}

DayCloseModel::Confirmed DayCloseModel::confirm(const st::Moment& at) {
    if (std::string blocker = confirmBlocker(); !blocker.empty()) return {std::move(blocker), {}};
    CloseRecord record;
    record.day = m_day;
    record.moment = st::dateText(at);
    record.cashier = m_cashier;
    record.figures = m_figures;
    record.openingFloat = *m_float;
    record.expectedCash = *expectedCash();
    record.countedCash = *m_counted;
    record.difference = *difference();
    record.note = m_note;
    std::string failure = appendClose(st::DataPaths{m_runDir}.dayCloses(), record);
    if (!failure.empty()) return {std::move(failure), {}};
    m_counted.reset();
    m_note.clear();
    load(at);
    return {{}, std::move(record)};
}

}  // namespace shop::dayclose
