// Keeps the checkout counter on the window after the maximise and restore
// rules have placed it. Those rules suit one wide screen; on a narrower or
// shorter one a control they place past the edge is brought back inside,
// and the decorations follow the panels they belong to.
#include <QCoreApplication>
#include <QResizeEvent>
#include <algorithm>

#include "checkout/amount_label.h"
#include "main_window.h"
#include "ui_main_window.h"

namespace shop::checkout {

namespace {

constexpr int kGap = 4;    // between panels
constexpr int kInner = 2;  // between a group's border and its controls

bool isDecoration(const QWidget* w) { return w->objectName().startsWith(QStringLiteral("图片框")); }

// Right and bottom edges of a container's visible children.
QPoint extentOfChildren(const QWidget* container) {
    QPoint extent(0, 0);
    for (const QObject* o : container->children()) {
        const auto* w = qobject_cast<const QWidget*>(o);
        // Decorations and the amounts (which fit themselves) take what is left.
        if (!w || w->isHidden() || isDecoration(w) || dynamic_cast<const AmountLabel*>(w)) continue;
        extent.setX(std::max(extent.x(), w->geometry().right() + 1));
        extent.setY(std::max(extent.y(), w->geometry().bottom() + 1));
    }
    return extent;
}

// Moves the children that stick out of their container back inside it. The
// amounts only move up: they take the width left of them (see below). The
// decorations keep their place and are cut to the container instead, so the
// amounts' panel stays below the buttons.
void pullInside(QWidget* container) {
    for (QObject* o : container->children()) {
        auto* w = qobject_cast<QWidget*>(o);
        if (!w || w->isWindow() || isDecoration(w)) continue;
        const int left =
            dynamic_cast<const AmountLabel*>(w)
                ? w->x()
                : std::clamp(w->x(), 0, std::max(0, container->width() - w->width() - kInner));
        const int top =
            std::clamp(w->y(), 0, std::max(0, container->height() - w->height() - kInner));
        w->move(left, top);
    }
}

}  // namespace

void MainWindow::fitToWindow() {
    auto& u = *ui;
    QWidget* page = u.选择夹1_收银;

    // The tab control ends above the status bar, within the window.
    const int statusTop = height() - u.状态条1->height();
    u.选择夹1->resize(std::min(u.选择夹1->width(), width() - u.选择夹1->x()),
                      std::min(u.选择夹1->height(), statusTop - u.选择夹1->y()));
    // The page lies in the tab control's pane, inset by the pane's frame.
    // The tab control places it only once shown, so the inset is measured
    // while shown and taken as the style's default before.
    QWidget* stack = page->parentWidget();
    if (u.选择夹1->isVisible()) m_paneInset = u.选择夹1->size() - stack->size();
    const int pageWidth = u.选择夹1->width() - m_paneInset.width();
    const int pageHeight = u.选择夹1->height() - m_paneInset.height();
    stack->setGeometry(m_paneInset.width() / 2, m_paneInset.height() / 2, pageWidth, pageHeight);
    page->setGeometry(0, 0, pageWidth, pageHeight);

    // The checkout group: its height within the page, its amounts inside it,
    // wide enough for its controls, and its right border on the page.
    QWidget* group = u.分组框_计算区域;
    group->resize(group->width(), std::min(group->height(), pageHeight - group->y() - kGap));
    pullInside(group);
    // It keeps its place and width where they fit; else it narrows down to
    // what its controls need, then moves left, and the list makes room.
    const int needed = extentOfChildren(group).x() + kInner;
    const int groupWidth =
        std::max(needed, std::min(group->width(), pageWidth - kInner - group->x()));
    group->resize(groupWidth, group->height());
    group->move(std::min(group->x(), pageWidth - kInner - groupWidth), group->y());

    // The footer band stays on the page, and on a maximised window it lies
    // along the page's bottom whatever the screen's height; beside the group
    // it runs under the list only. The list ends above it and left of the group.
    QWidget* footer = u.图片框_背景1;
    const int footerBottom = pageHeight - footer->height() - kInner;
    footer->move(footer->x(), windowState() & Qt::WindowMaximized
                                  ? footerBottom
                                  : std::min(footer->y(), pageHeight - footer->height()));
    const int footerRoom = footer->y() > group->geometry().bottom() ? pageWidth : group->x() - kGap;
    footer->resize(std::min(footer->width(), footerRoom - footer->x()), footer->height());
    QWidget* list = u.超级列表框_产品结账;
    list->resize(std::min(list->width(), group->x() - kGap - list->x()),
                 std::min(list->height(), footer->y() - kGap - list->y()));

    // The amounts keep their type size but never run past the group.
    for (QWidget* amount :
         {static_cast<QWidget*>(u.透明标签_余额), static_cast<QWidget*>(u.透明标签_找0钱)})
        amount->resize(group->width() - amount->x() - kInner, amount->height());
    // The background panel stays inside the group.
    QWidget* background = u.图片框_背景;
    background->resize(std::min(background->width(), group->width() - background->x() - kInner),
                       std::min(background->height(), group->height() - background->y() - kInner));
}

}  // namespace shop::checkout
