// A till's day written straight into its tables, as 收款, 退货 and the exit
// recording leave them: each run's sales table and ticket table. For tests
// and benchmarks of the day close that need days no keyboard could ring up.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "checkout/money.h"
#include "checkout/receipt_number.h"
#include "storage/data_paths.h"
#include "storage/date_text.h"
#include "storage/schemas.h"
#include "storage/table.h"
#include "storage/text.h"
#include "support/run_folder.h"

namespace shop::test {

struct Line {
    std::string name, price, quantity;
};

class TillRun {
public:
    // `sequence` is the day's last receipt sequence, shared by the runs of a day.
    TillRun(storage::DataPaths paths, storage::Moment start, int& sequence)
        : m_paths(std::move(paths)), m_start(start), m_sequence(sequence) {}

    std::string salesTable() const {
        return std::filesystem::path(m_paths.salesTable(m_start)).filename().string();
    }

    // A paid sale (or, with `original`, a refund of it); its receipt number.
    std::string pay(const std::vector<Line>& lines, const std::string& method,
                    const storage::Moment& at, const std::string& original = {}) {
        const int first = static_cast<int>(m_rows.size()) + 1;
        checkout::Fen total = 0;
        for (const Line& l : lines) {
            addRow(l, at);
            total += checkout::fenFromText(l.price) * storage::leadingInt(l.quantity);
        }
        const std::string receipt =
            checkout::receiptNumber("01", checkout::dayKey(at), ++m_sequence);
        const std::string records = std::to_string(first) + "-" +
                                    std::to_string(first + static_cast<int>(lines.size()) - 1);
        m_tickets.push_back({receipt, original, salesTable(), records, checkout::storedYuan(total),
                             checkout::storedYuan(total), "0.00", method, "小李",
                             storage::dateText(at)});
        return receipt;
    }
    // Lines an exit recorded with no payment.
    void leaveUnpaid(const std::vector<Line>& lines, const storage::Moment& at) {
        for (const Line& l : lines) addRow(l, at);
    }
    // Makes both tables (the ticket table only when something was paid).
    void write() const {
        storage::create(m_paths.salesTable(m_start), storage::schemas::sales());
        writeAll(m_paths.salesTable(m_start), m_rows);
        if (m_tickets.empty()) return;
        storage::create(m_paths.ticketTable(m_start), storage::schemas::tickets());
        writeAll(m_paths.ticketTable(m_start), m_tickets);
    }

private:
    void addRow(const Line& l, const storage::Moment& at) {
        m_rows.push_back({l.name, l.price, l.quantity, storage::dateText(at)});
    }

    storage::DataPaths m_paths;
    storage::Moment m_start;
    int& m_sequence;
    std::vector<std::vector<std::string>> m_rows, m_tickets;
};

}  // namespace shop::test
