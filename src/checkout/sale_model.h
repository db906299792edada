// The checkout of a run without any window: the open list, its amounts, the
// journal that keeps the list across a crash, and the recording of what is
// sold. The main window shows this model and forwards the cashier's actions;
// a scanner or a test drives it the same way.
#pragma once

#include <QObject>
#include <string>
#include <vector>

#include "checkout/money.h"
#include "checkout/sale_journal.h"
#include "checkout/sale_line.h"
#include "checkout/sale_recording.h"

namespace shop::checkout {

class SaleModel : public QObject {
    Q_OBJECT

public:
    explicit SaleModel(QObject* parent = nullptr);
    ~SaleModel() override;

    // The run: its sales table and the journal that keeps its open list.
    void beginRun(std::string salesPath, SaleJournal journal);
    const std::string& salesPath() const { return m_salesPath; }

    // --- the open list ---------------------------------------------------
    const std::vector<SaleLine>& lines() const { return m_lines; }
    std::vector<SaleRow> rows() const;
    void addLine(SaleLine line);
    // The line at `index` goes; false (nothing changes) when there is none.
    bool removeLine(int index);
    void clear();

    // --- amounts ---------------------------------------------------------
    // Price x quantity over the lines, exact: every price read from its text
    // ("12元" is 12), every quantity a whole number.
    Fen total() const { return m_total; }
    void setTendered(std::string text);
    const std::string& tendered() const { return m_tendered; }
    // Tendered minus total; negative while too little was handed over.
    Fen change() const;

    // --- recording -------------------------------------------------------
    // The exit recording: every line that fits goes into the run's sales
    // table in one batch. Stored lines leave the list, unless every line was
    // stored (the run ends then, and its list stays as the last thing seen);
    // the journal goes once nothing is left unstored.
    RecordingResult recordOpenList();

    // Whether the last journal write failed (the list on screen is then not
    // safe from a crash).
    bool journalFailing() const { return m_journalFailing; }
    const std::string& journalPath() const { return m_journal.path(); }

Q_SIGNALS:
    // The list changed, and with it the total and the change.
    void linesChanged();
    // The tendered amount changed, and with it the change alone.
    void tenderedChanged();
    void journalFailureChanged(bool failing);

private:
    void changed();

    std::string m_salesPath;
    SaleJournal m_journal;
    std::vector<SaleLine> m_lines;
    Fen m_total = 0;
    std::string m_tendered;
    bool m_journalFailing = false;
};

}  // namespace shop::checkout
