// The checkout of a run without any window: the open list, its amounts, the
// journal that keeps the list across a crash, and the recording of what is
// sold. The main window shows this model and forwards the cashier's actions;
// a scanner or a test drives it the same way.
#pragma once

#include <QObject>
#include <optional>
#include <string>
#include <vector>

#include "checkout/finished_sale.h"
#include "checkout/money.h"
#include "checkout/receipt_number.h"
#include "checkout/sale_journal.h"
#include "checkout/sale_line.h"
#include "checkout/sale_recording.h"

namespace shop::checkout {

// How a sale is paid, and by whom and when it is taken.
struct Payment {
    PaymentMethod method = PaymentMethod::Cash;
    std::string cashier;
    storage::Moment moment;
};

enum class CheckoutOutcome {
    Finished,         // every table holds the sale; the list is empty for the next customer
    NothingToSell,    // the list is empty
    ShortCash,        // cash that does not cover the total: nothing stored
    Unstorable,       // a line too long for the sales table: nothing stored
    Pending,          // paid and journalled, but a table did not take it: it is retried
    EarlierPending,   // an earlier sale still does not store: this one is not taken
    NoReceiptNumber,  // the day's last receipt number cannot be read: nothing stored
};

struct CheckoutResult {
    CheckoutOutcome outcome = CheckoutOutcome::NothingToSell;
    std::string failure;               // what did not store (Pending, EarlierPending)
    std::optional<FinishedSale> sale;  // Finished and Pending
    // Stock not moved or gone below zero, for the cashier (Finished, Pending).
    std::vector<std::string> stockNotes;
};

// When an added line reaches the journal. A line added by the cashier's
// click is journalled before it shows. A scanner sells at the pace of its
// keys, and a journal sync takes milliseconds: its line shows first and is
// journalled in the same turn of the event loop, right after the list is
// painted, and before the model does anything else (another change, a
// receipt, a payment, the exit recording). Lines scanned in one burst share
// one sync.
enum class JournalWhen { BeforeShowing, RightAfterShowing };

class SaleModel : public QObject {
    Q_OBJECT

public:
    explicit SaleModel(QObject* parent = nullptr);
    ~SaleModel() override;

    // The run: its sales table and the journal that keeps its open list.
    void beginRun(std::string salesPath, SaleJournal journal);
    // The run folder and the receipt numbers, for 收款.
    void beginTickets(std::string runDir, ReceiptNumbers numbers);
    const std::string& salesPath() const { return m_salesPath; }

    // --- the open list ---------------------------------------------------
    const std::vector<SaleLine>& lines() const { return m_lines; }
    std::vector<SaleRow> rows() const;
    void addLine(SaleLine line, JournalWhen when = JournalWhen::BeforeShowing);
    // The line at `index` goes; false (nothing changes) when there is none.
    bool removeLine(int index);
    void clear();
    // A receipt was made of the open list (the customer may hold it) before
    // it was paid: voiding it then needs a second thought. Kept until the
    // list is empty again, whatever is added after.
    void noteReceipted();
    bool receipted() const { return m_receipted; }

    // --- amounts ---------------------------------------------------------
    // Price x quantity over the lines, exact: every price read from its text
    // ("12元" is 12), every quantity a whole number.
    Fen total() const { return m_total; }
    void setTendered(std::string text);
    const std::string& tendered() const { return m_tendered; }
    // Tendered minus total; negative while too little was handed over.
    Fen change() const;

    // --- 收款 -------------------------------------------------------------
    // Finishes the customer's sale: its lines, ticket and stock are stored,
    // each table in one step, while the journal holds the sale until all
    // have it (a crash in between is finished at the next start). Cash must
    // cover the total; the other methods take the total as paid.
    CheckoutResult checkout(const Payment& payment);
    // 退货: the goods of `lines` (negative quantities) come back against the
    // receipt `original`. Numbered, journalled and landed as 收款 lands a
    // sale, the money paid back in `payment.method`; the open list stays as
    // it is. The caller has checked that the receipt sold them.
    CheckoutResult refund(std::vector<SaleLine> lines, const std::string& original,
                          const Payment& payment);
    // A sale paid for that a table did not take yet.
    const std::optional<FinishedSale>& pending() const { return m_journal.pending(); }
    // Tries the pending sale's tables again; true when none is pending now.
    bool finishPending(std::string* failure = nullptr);

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
    const SaleJournal& journal() const { return m_journal; }
    // One more try at journalling the list as it is; true once it is kept.
    bool journalAgain();
    // Lines shown but not yet journalled (JournalWhen::RightAfterShowing)
    // go into the journal now; the next turn of the event loop does this
    // by itself.
    void catchUpJournal();

Q_SIGNALS:
    // The list changed, and with it the total and the change.
    void linesChanged();
    // The tendered amount changed, and with it the change alone.
    void tenderedChanged();
    void journalFailureChanged(bool failing);
    // A sale is in every table: for its receipt, and for an uploader.
    void saleFinished(const FinishedSale& sale);

protected:
    bool event(QEvent* event) override;

private:
    void changed();
    void computeTotal();
    void journalList();
    // Numbers, journals and lands a sale or refund made whole but for its
    // place in the tables; a sale's lines leave the open list.
    CheckoutResult store(FinishedSale sale, const storage::Moment& moment);

    std::string m_salesPath;
    std::string m_runDir;
    ReceiptNumbers m_receipts;
    SaleJournal m_journal;
    std::vector<SaleLine> m_lines;
    Fen m_total = 0;
    std::string m_tendered;
    bool m_journalFailing = false;
    bool m_receipted = false;
    bool m_journalBehind = false;  // lines shown that the journal does not hold yet
};

}  // namespace shop::checkout
