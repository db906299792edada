#include "list_table.h"

#include <QLabel>
#include <QListWidget>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <algorithm>

namespace shop::ui {

namespace {

// One height for every row of every list, so rows stay level whatever a
// list's texts (Chinese names beside digits) would give on their own.
class EvenRows : public QStyledItemDelegate {
public:
    EvenRows(int height, QObject* parent) : QStyledItemDelegate(parent), m_height(height) {}
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return {QStyledItemDelegate::sizeHint(option, index).width(), m_height};
    }

private:
    int m_height;
};

int rowHeight(const QListWidget* list) {
    const int indicator = list->style()->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, list);
    return std::max(list->fontMetrics().height(), indicator) + 6;
}

// The colours of the program's header sections and list borders.
QString headerSheet(bool first) {
    return QStringLiteral(
               "QLabel { background: #e4ebf2; color: #1f3b52; font-weight: bold;"
               " border: 1px solid #c5d0da; border-bottom: none; %1 padding-left: 4px; }")
        .arg(first ? QString() : QStringLiteral("border-left: none;"));
}

QString listSheet(bool first) {
    return QStringLiteral("QListWidget { border: 1px solid #c5d0da; border-radius: 0; %1 }")
        .arg(first ? QString() : QStringLiteral("border-left: 1px solid #e4ebf2;"));
}

void chooseAlike(QListWidget* from, const std::vector<QListWidget*>& lists) {
    const QList<QListWidgetItem*> chosen = from->selectedItems();
    const int row = chosen.isEmpty() ? -1 : from->row(chosen.first());
    for (QListWidget* other : lists) {
        if (other == from) continue;
        const QSignalBlocker quiet(other);
        if (row >= 0 && row < other->count())
            other->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
        else
            other->clearSelection();
    }
}

}  // namespace

void joinAsTable(const std::vector<QLabel*>& headers, const std::vector<QListWidget*>& lists) {
    if (lists.empty() || headers.size() != lists.size()) return;
    const int left = lists.front()->x();
    const int right = lists.back()->geometry().right();
    const int headerTop = headers.front()->y();
    const int headerHeight = headers.front()->height();
    const int bottom = lists.front()->geometry().bottom();
    int designed = 0;
    for (const QListWidget* l : lists) designed += l->width();

    int height = 0;
    for (const QListWidget* l : lists) height = std::max(height, rowHeight(l));

    int x = left;
    for (std::size_t k = 0; k < lists.size(); ++k) {
        QListWidget* list = lists[k];
        const bool first = k == 0, last = k + 1 == lists.size();
        const int width = list->width() + (first ? (right - left + 1) - designed : 0);
        headers[k]->setGeometry(x, headerTop, width, headerHeight);
        headers[k]->setStyleSheet(headerSheet(first));
        list->setGeometry(x, headerTop + headerHeight, width,
                          bottom - headerTop - headerHeight + 1);
        list->setStyleSheet(listSheet(first));
        list->setItemDelegate(new EvenRows(height, list));
        list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        list->setVerticalScrollBarPolicy(last ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
        list->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
        list->setTextElideMode(Qt::ElideRight);
        x += width;
    }
    for (QListWidget* list : lists) {
        for (QListWidget* other : lists)
            if (other != list)
                QObject::connect(list->verticalScrollBar(), &QScrollBar::valueChanged,
                                 other->verticalScrollBar(), &QScrollBar::setValue);
        QObject::connect(list, &QListWidget::itemSelectionChanged, list,
                         [list, lists] { chooseAlike(list, lists); });
    }
}

}  // namespace shop::ui
