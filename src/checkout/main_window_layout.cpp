// Maximise and restore of the main window (its middle title-bar button).
// Maximising fills the screen: the band spans it, its buttons end it, and
// the checkout counter is scaled to it (main_window_scale.cpp). Restoring
// puts every control of the counter back as designed, the listed ones at
// their fixed places, so a second maximise starts from the same layout as
// the first.
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

#include "checkout/counter_scan.h"
#include "main_window.h"
#include "ui_main_window.h"

namespace shop::checkout {

// Here, where both private parts are complete.
MainWindow::~MainWindow() = default;

namespace {

void setLeft(QWidget* w, int left) { w->move(left, w->y()); }
void setTop(QWidget* w, int top) { w->move(w->x(), top); }
void setWidth(QWidget* w, int width) { w->resize(width, w->height()); }
void setHeight(QWidget* w, int height) { w->resize(w->width(), height); }
// How far left of their listed places the title-bar buttons go to end the
// band (negative: right), as they end it in the designed window.
int titleButtonsShift(int closeRightEdge, int screenWidth) {
    const int margin = 4;
    return closeRightEdge - (screenWidth - margin);
}

void setTextSize(QWidget* w, int points) {
    QFont f = w->font();
    f.setPointSize(points);
    w->setFont(f);
}

}  // namespace

void MainWindow::toggleMaximised() {
    if (windowState() & Qt::WindowMaximized)
        restoreLayout();
    else if (windowState() == Qt::WindowNoState)
        maximiseLayout();
}

void MainWindow::maximiseLayout() {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    m_normalGeometry = geometry();
    // A frameless window is not sized by every window manager; fill the
    // screen ourselves so the layout below sees the maximised window. The
    // state goes last: a change of geometry would clear it again.
    setGeometry(screen);
    setWindowState(Qt::WindowMaximized);
    const int sw = screen.width();
    const int left = x();
    auto& u = *ui;

    // The band starts right of the title, so a screen-wide band would run
    // past the window's edge: it ends there instead.
    setWidth(u.图片框2, std::min(sw, width() - u.图片框2->x()));

    // The title-bar buttons' places suit one screen width only. On a
    // narrower screen they would leave it, and with them the only ways to
    // restore the window and to leave the program with the run's sales
    // recorded; on a wider one they would stand mid-screen, far from where
    // a title bar has them. The three move together to the band's right end.
    const int shift =
        titleButtonsShift(u.图片框2->x() + left + 1120 + u.图形按钮1_关闭->width(), sw);
    setLeft(u.图形按钮1_关闭, left + 1120 - shift);
    setLeft(u.图形按钮1_放大, left + 1095 - shift);
    setLeft(u.图形按钮1_易, left + 1065 - shift);

    // The counter grows with the screen, type and controls together.
    scaleCounterTo(screen.size());
    fitToWindow();
}

void MainWindow::restoreLayout() {
    setWindowState(Qt::WindowNoState);
    if (m_normalGeometry.isValid()) setGeometry(m_normalGeometry);
    putBackDesignedLayout();
    auto& u = *ui;

    setWidth(u.图片框2, 600);
    setLeft(u.图形按钮1_关闭, 576);
    setLeft(u.图形按钮1_放大, 551);
    setLeft(u.图形按钮1_易, 520);
    u.图形按钮_添加->move(8, 123);
    setLeft(u.图形按钮_保存, 119);
    setLeft(u.图形按钮_清空, 98);
    setWidth(u.图形按钮_清空, 98);
    setLeft(u.图形按钮_生成账单, u.图形按钮_清空->x());
    setLeft(u.图形按钮_删除, 8);
    setLeft(u.分组框_计算区域, 694);
    setHeight(u.分组框_计算区域, 425);
    u.超级列表框_产品结账->resize(688, 425);
    setTop(u.透明标签_找零钱, 374);
    u.透明标签_找0钱->move(86, 347);
    u.透明标签_消费金额->move(12, 293);
    u.透明标签_余额->move(82, 266);
    u.透明标签_全部->move(8, 25);
    setHeight(u.透明标签_全部, 117);
    u.标签_当前余额->move(10, 215);
    setWidth(u.标签_当前余额, 56);
    u.编辑框1_当前余额->move(64, 212);
    setWidth(u.编辑框1_当前余额, 132);
    setLeft(u.组合框1_商品名称, 67);
    setWidth(u.组合框1_商品名称, 112);
    setLeft(u.编辑框_价格, 42);
    setWidth(u.编辑框_价格, 72);
    setLeft(u.组合框1_数量, 46);
    setWidth(u.组合框1_数量, u.编辑框_价格->width());
    u.组合框_付款方式->move(119, 58);
    u.图形按钮_收款->setGeometry(8, 183, 188, 20);
    setTop(u.图片框6, 41);
    setHeight(u.图片框6, 71);
    for (QWidget* w :
         {static_cast<QWidget*>(u.透明标签_找零钱), static_cast<QWidget*>(u.透明标签_消费金额),
          static_cast<QWidget*>(u.透明标签_全部), static_cast<QWidget*>(u.标签_当前余额)})
        setTextSize(w, 9);

    fitToWindow();
}

}  // namespace shop::checkout
