// The checkout counter on a maximised window: the designed counter, scaled
// as a whole to the screen, so that its type, its boxes and its buttons grow
// together, and laid out across the page: the group at the right edge, the
// list taking the width left of it, the footer along the bottom. Restoring
// puts back every control of the page as it was designed.
#include <QAbstractButton>
#include <QComboBox>
#include <QHeaderView>
#include <QIcon>
#include <QLineEdit>
#include <QTreeWidget>
#include <algorithm>
#include <cmath>

#include "checkout/main_window_lines_label.h"
#include "main_window.h"
#include "ui_main_window.h"

namespace shop::checkout {

namespace {

constexpr int kGap = 4;             // between panels, as the fitted layout keeps them
constexpr int kInner = 2;           // between a container's border and its controls
constexpr int kDesignedPitch = 30;  // the captions' line pitch: the inputs' spacing

int scaled(int v, double s) { return static_cast<int>(std::lround(v * s)); }
QRect scaled(const QRect& r, double s) {
    return {scaled(r.x(), s), scaled(r.y(), s), scaled(r.width(), s), scaled(r.height(), s)};
}

// The controls of a container that the counter's layout places: its direct
// children, not the parts a control is built of.
QList<QWidget*> placedChildren(QWidget* container) {
    return container->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
}

}  // namespace

void MainWindow::keepDesignedLayout() {
    m_designed = {size(), ui->选择夹1->geometry(), {}, {}};
    for (QWidget* container :
         {static_cast<QWidget*>(ui->选择夹1_收银), static_cast<QWidget*>(ui->分组框_计算区域)})
        for (QWidget* w : placedChildren(container)) {
            const auto* button = qobject_cast<const QAbstractButton*>(w);
            m_designed.places.push_back(
                {w, w->geometry(), w->font(), button ? button->iconSize() : QSize()});
        }
    const QTreeWidget* list = ui->超级列表框_产品结账;
    for (int c = 0; c < list->columnCount(); ++c)
        m_designed.columns.push_back(list->columnWidth(c));
}

// Every control of the page in its designed place, size, type and image.
void MainWindow::putBackDesignedLayout() {
    ui->选择夹1->setGeometry(m_designed.tabs);
    scaleDesignedLayout(1.0);
}

void MainWindow::scaleDesignedLayout(double s) {
    for (const Designed::Place& p : m_designed.places) {
        p.widget->setGeometry(scaled(p.geometry, s));
        QFont f = p.font;
        f.setPointSizeF(p.font.pointSizeF() * s);
        p.widget->setFont(s == 1.0 ? p.font : f);
        if (auto* button = qobject_cast<QAbstractButton*>(p.widget))
            button->setIconSize(p.iconSize * s);
        // The text a combo shows is its line edit's, which the style gives
        // a font of its own.
        if (auto* combo = qobject_cast<QComboBox*>(p.widget); combo && combo->lineEdit())
            combo->lineEdit()->setFont(p.widget->font());
    }
    QTreeWidget* list = ui->超级列表框_产品结账;
    // The headings' type comes from the style's rule for them; it grows by
    // a rule of the list's own, which the designed layout does without.
    list->header()->setStyleSheet(s == 1.0
                                      ? QString()
                                      : QStringLiteral("QHeaderView::section { font-size: %1pt; }")
                                            .arg(list->font().pointSizeF(), 0, 'f', 1));
    for (int c = 0; c < static_cast<int>(m_designed.columns.size()); ++c)
        list->setColumnWidth(c, scaled(m_designed.columns[static_cast<std::size_t>(c)], s));
    ui->透明标签_全部->setLinePitch(scaled(kDesignedPitch, s));
    // The heading's cart, drawn afresh at its size rather than stretched.
    ui->图片框3->setPixmap(QIcon(QStringLiteral(":/img/cart.svg")).pixmap(ui->图片框3->size()));
}

// The counter scaled to the screen: as large as the screen allows the
// designed window to grow in both directions, never smaller than designed.
double MainWindow::counterScale(QSize screen) const {
    const QSize designed = m_designed.window;
    return std::max(1.0, std::min(screen.width() / static_cast<double>(designed.width()),
                                  screen.height() / static_cast<double>(designed.height())));
}

void MainWindow::scaleCounterTo(QSize screen) {
    auto& u = *ui;
    const double s = counterScale(screen);
    scaleDesignedLayout(s);

    // The inputs stand in one column, as maximising has always put them:
    // the price and the quantity under the goods, the price clear of the
    // payment method beside it, the quantity clear of the save button.
    QWidget* goods = u.组合框1_商品名称;
    u.编辑框_价格->setGeometry(goods->x(), u.编辑框_价格->y(),
                               u.组合框_付款方式->x() - kGap - goods->x(), u.编辑框_价格->height());
    QWidget* quantity = u.组合框1_数量;
    quantity->setGeometry(goods->x(), quantity->y(), u.图形按钮_保存->x() - kGap - goods->x(),
                          quantity->height());

    // The tab control fills the window under the band, above the status bar.
    const int top = u.选择夹1->y();
    u.选择夹1->resize(width(), height() - u.状态条1->height() - top);
    const QSize page = u.选择夹1->size() - m_paneInset;

    // The group at the page's right edge and down to its bottom; the amounts'
    // panel fills it below the buttons, as the amounts reach its edge.
    QWidget* group = u.分组框_计算区域;
    const int groupTop = group->y();
    group->setGeometry(page.width() - kInner - group->width(), groupTop, group->width(),
                       page.height() - kGap - groupTop);
    QWidget* panel = u.图片框_背景;
    panel->resize(group->width() - panel->x() - kInner, group->height() - panel->y() - kInner);

    // The footer along the page's bottom under the list, the list between.
    QWidget* footer = u.图片框_背景1;
    footer->setGeometry(0, page.height() - kInner - footer->height(), group->x() - kGap,
                        footer->height());
    QWidget* list = u.超级列表框_产品结账;
    list->setGeometry(list->x(), list->y(), group->x() - kGap - list->x(),
                      footer->y() - kGap - list->y());
    // The hint above the list ends where the list does.
    QWidget* hint = u.标签_结账提示;
    hint->resize(list->geometry().right() + 1 - hint->x(), hint->height());
}

}  // namespace shop::checkout
