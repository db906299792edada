#include "day_figures.h"

#include <limits>
#include <unordered_map>

#include "checkout/receipt_number.h"
#include "storage/data_paths.h"
#include "storage/text.h"

namespace shop::dayclose {

namespace ck = shop::checkout;
namespace st = shop::storage;

namespace {

constexpr int kNever = std::numeric_limits<int>::max();

bool sameDay(const st::Moment& a, const st::Moment& b) { return a.dateOnly() == b.dateOnly(); }

// The first record of the run's sales table that lies after the mark: 1 for
// a run started after the mark's run, kNever for one started before it.
int firstAfter(const RunRecords& run, const std::optional<CloseMark>& mark) {
    if (!mark || mark->salesTable.empty()) return 1;
    if (run.salesTable == mark->salesTable) return mark->records + 1;
    st::Moment markStart;
    if (!runStartOf(mark->salesTable, st::kSalesPrefix, markStart)) return 1;
    return earlier(markStart, run.start) ? 1 : kNever;
}

// A ticket belongs to the day of its receipt number; failing that, of its
// moment; failing that, of its run.
bool ticketOnDay(const ck::Ticket& t, const RunRecords& run, const st::Moment& day) {
    if (const auto parts = ck::parseReceipt(t.receipt)) return parts->day == ck::dayKey(day);
    if (const auto moment = st::parseDateText(t.moment)) return sameDay(*moment, day);
    return sameDay(run.start, day);
}

// A line belongs to the day it was rung up on (its date cell); failing
// that, to its run's day.
bool lineOnDay(const std::string& date, const RunRecords& run, const st::Moment& day) {
    if (const auto moment = st::parseDateText(date)) return sameDay(*moment, day);
    return sameDay(run.start, day);
}

// What a ticket took in (a sale) or gave back (a refund, negative), as its
// stored total says: the amount the customer paid or was paid. A refund's
// total is taken as given back whichever sign it was stored with.
Fen ticketAmount(const ck::Ticket& t) {
    const Fen stored = ck::fenFromText(t.total);
    const Fen magnitude = stored < 0 ? -stored : stored;
    return t.original.empty() ? magnitude : -magnitude;
}

// Payment methods by receipt, for a refund ticket that does not name its
// own: it gives back the way its original receipt was paid.
class MethodsByReceipt {
public:
    explicit MethodsByReceipt(const DayRecords& records) : m_records(records) {}

    ck::PaymentMethod of(const ck::Ticket& t) {
        if (const auto m = ck::methodFromText(t.method)) return *m;
        if (!t.original.empty()) {
            if (m_methods.empty()) fill();
            const auto found = m_methods.find(t.original);
            if (found != m_methods.end()) return found->second;
        }
        return ck::PaymentMethod::Cash;
    }

private:
    void fill() {
        for (const RunRecords& run : m_records.runs)
            for (const ck::Ticket& t : run.tickets)
                if (const auto m = ck::methodFromText(t.method)) m_methods.emplace(t.receipt, *m);
    }

    const DayRecords& m_records;
    std::unordered_map<std::string, ck::PaymentMethod> m_methods;
};

void addTickets(const RunRecords& run, int from, const st::Moment& day, MethodsByReceipt& methods,
                DayFigures& out) {
    for (const ck::Ticket& t : run.tickets) {
        const auto range = t.recordRange();
        // A ticket whose records cannot be told counts with its run as a whole.
        const bool after = range ? range->first >= from : from == 1;
        if (!after || !ticketOnDay(t, run, day)) continue;
        const Fen amount = ticketAmount(t);
        MethodTakings& takings = out.byMethod[static_cast<std::size_t>(methods.of(t))];
        if (t.original.empty()) {
            ++out.sales;
            takings.sales = ck::plusSaturated(takings.sales, amount);
            out.salesTotal = ck::plusSaturated(out.salesTotal, amount);
        } else {
            ++out.refunds;
            takings.refunds = ck::plusSaturated(takings.refunds, -amount);
            out.refundTotal = ck::plusSaturated(out.refundTotal, -amount);
        }
        if (out.firstReceipt.empty()) out.firstReceipt = t.receipt;
        out.lastReceipt = t.receipt;
    }
}

void addUnpaid(const RunRecords& run, int from, const st::Moment& day, DayFigures& out) {
    for (const UnpaidLine& line : run.unpaid) {
        if (line.record < from || !lineOnDay(line.date, run, day)) continue;
        ++out.unpaidLines;
        out.unpaidAmount =
            ck::plusSaturated(out.unpaidAmount, lineAmount(line.price, line.quantity));
    }
}

}  // namespace

Fen lineAmount(const std::string& price, const std::string& quantity) {
    return ck::timesSaturated(ck::fenFromText(price), st::leadingInt(quantity));
}

DayFigures dayFigures(const DayRecords& records, const st::Moment& day,
                      const std::optional<CloseMark>& after) {
    DayFigures out;
    MethodsByReceipt methods(records);
    for (const RunRecords& run : records.runs) {
        const int from = firstAfter(run, after);
        if (from == kNever) continue;
        addTickets(run, from, day, methods, out);
        addUnpaid(run, from, day, out);
    }
    if (!records.runs.empty()) {
        const RunRecords& last = records.runs.back();
        out.end = {last.salesTable, last.salesRecords};
    }
    // Nothing read after the mark: the close ends where the last one did.
    if (after && !after->salesTable.empty() &&
        (out.end.salesTable.empty() || firstAfter(records.runs.back(), after) == kNever))
        out.end = *after;
    return out;
}

}  // namespace shop::dayclose
