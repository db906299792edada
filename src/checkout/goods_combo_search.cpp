#include "goods_combo_search.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCompleter>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QSortFilterProxyModel>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>

#include "checkout/goods_search.h"

namespace shop::checkout {

namespace {

// Longer than a scanner's gap between keys, shorter than a person notices.
constexpr int kDigitPauseMs = 80;

// Only digits, and perhaps the * of a quantity typed before a scan.
bool looksLikeCode(const QString& typed) {
    if (typed.isEmpty()) return false;
    for (const QChar c : typed)
        if (!(c >= u'0' && c <= u'9') && c != u'*') return false;
    return true;
}

// The combo's items that match the typed text, unsorted: the combo's order.
class GoodsFilter : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    void setTyped(const QString& typed) {
        m_typed = typed;
        m_matchesAll = typed.trimmed().isEmpty();
        invalidateFilter();
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
        // Nothing typed keeps every name, without reading any: the filter is
        // built over all goods at start, before the cashier types.
        if (m_matchesAll) return true;
        const QString name = sourceModel()->index(row, 0, parent).data().toString();
        return goodsMatches(name, m_typed);
    }

private:
    QString m_typed;
    bool m_matchesAll = true;
};

// The list of matches under the combo. Every goods name is one line in one
// font, so its rows share one height: the list then lays out thousands of
// names without measuring each one's text, when it is built at start and on
// every keystroke. Otherwise it is the completer's usual list.
QListView* makeMatchList() {
    auto* list = new QListView;
    list->setUniformItemSizes(true);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    return list;
}

// Chooses item `row` of the combo as a mouse choice would.
void choose(QComboBox* combo, int row) {
    combo->setCurrentIndex(row);
    Q_EMIT combo->activated(row);
}

// Enter takes the first match, unless a match of the open list is picked
// with the arrow keys: then the list chooses that one.
class EnterTakesFirstMatch : public QObject {
public:
    EnterTakesFirstMatch(QComboBox* combo, QCompleter* completer, GoodsFilter* filter)
        : QObject(combo), m_combo(combo), m_completer(completer), m_filter(filter) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
        QAbstractItemView* popup = m_completer->popup();
        if (popup->isVisible() && popup->currentIndex().isValid())
            return false;  // the list chooses
        popup->hide();
        const QString typed = m_combo->lineEdit()->text();
        if (m_combo->currentIndex() >= 0 && m_combo->itemText(m_combo->currentIndex()) == typed) {
            choose(m_combo, m_combo->currentIndex());  // chosen already: choose it again
            return true;
        }
        m_filter->setTyped(typed);
        if (m_filter->rowCount() == 0) return true;  // nothing to choose; keep the text
        choose(m_combo, m_filter->mapToSource(m_filter->index(0, 0)).row());
        return true;
    }

private:
    QComboBox* m_combo;
    QCompleter* m_completer;
    GoodsFilter* m_filter;
};

// The arrow keys (and the wheel) step through the goods in the box itself,
// the focus staying there; unlike the combo's own stepping they pick
// nothing, so the lookup and the move to the quantity wait for Enter. With
// the list of matches open, the keys are the list's.
class ArrowsBrowse : public QObject {
public:
    explicit ArrowsBrowse(QComboBox* combo) : QObject(combo), m_combo(combo) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Wheel) {
            const int dy = static_cast<QWheelEvent*>(event)->angleDelta().y();
            if (dy != 0) step(dy > 0 ? -1 : 1);
            return true;
        }
        if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
        const auto* key = static_cast<QKeyEvent*>(event);
        // Alt+Down opens the combo's own list, where Enter or a click picks.
        if (key->modifiers() & (Qt::AltModifier | Qt::ControlModifier)) return false;
        const int page = m_combo->maxVisibleItems();
        switch (key->key()) {
            case Qt::Key_Up:
                step(-1);
                return true;
            case Qt::Key_Down:
                step(1);
                return true;
            case Qt::Key_PageUp:
                step(-page);
                return true;
            case Qt::Key_PageDown:
                step(page);
                return true;
            default:
                return false;
        }
    }

private:
    void step(int by) {
        if (m_combo->count() == 0) return;
        const int now = m_combo->currentIndex();
        const int next = now < 0 ? 0 : std::clamp(now + by, 0, m_combo->count() - 1);
        m_combo->setCurrentIndex(next);  // shows the name; `activated` stays for a pick
        m_combo->lineEdit()->selectAll();
    }

    QComboBox* m_combo;
};

}  // namespace

void makeGoodsSearchable(QComboBox* combo) {
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);

    auto* filter = new GoodsFilter(combo);
    auto* completer = new QCompleter(filter, combo);
    // The filter decides what matches; the completer only shows it.
    completer->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    completer->setMaxVisibleItems(12);
    completer->setPopup(makeMatchList());
    combo->setCompleter(completer);
    // The goods come last: a list that becomes a popup lays out at once what
    // it holds, while one given its rows when hidden waits until it is shown.
    filter->setSourceModel(combo->model());

    QLineEdit* edit = combo->lineEdit();
    const auto showMatches = [filter, completer](const QString& typed) {
        filter->setTyped(typed);
        if (typed.trimmed().isEmpty() || filter->rowCount() == 0) {
            completer->popup()->hide();
        } else {
            completer->complete();
        }
    };
    // Digits may be a scanner typing a code, a key every few milliseconds:
    // they are searched for once the keys pause, so that a scan never runs
    // the search over the whole goods list at each of its digits. The
    // completer is taken off the box meanwhile, as the line edit would
    // otherwise match its text against every goods at each key as well.
    const auto attach = [combo, completer] {
        if (combo->completer() != completer) combo->setCompleter(completer);
    };
    auto* digitPause = new QTimer(combo);
    digitPause->setSingleShot(true);
    digitPause->setInterval(kDigitPauseMs);
    QObject::connect(digitPause, &QTimer::timeout, combo, [edit, attach, showMatches] {
        attach();
        showMatches(edit->text());
    });
    QObject::connect(edit, &QLineEdit::textEdited, combo,
                     [combo, completer, digitPause, attach, showMatches](const QString& typed) {
                         if (!looksLikeCode(typed)) {
                             digitPause->stop();
                             attach();
                             showMatches(typed);
                             return;
                         }
                         completer->popup()->hide();
                         if (combo->completer()) combo->setCompleter(nullptr);
                         digitPause->start();
                     });
    // A choice in the list reaches the combo through the completer: the combo
    // maps it back through the filter to its own item and emits `activated`.
    // The keys reach the combo itself when it has the focus, and it hands
    // them to its line edit directly, past any filter there: so the combo
    // is watched as well. On the list too, and after the completer's own filter so it runs first.
    auto* enter = new EnterTakesFirstMatch(combo, completer, filter);
    combo->installEventFilter(enter);
    edit->installEventFilter(enter);
    completer->popup()->installEventFilter(enter);
    combo->installEventFilter(new ArrowsBrowse(combo));
}

}  // namespace shop::checkout
