// Maximise and restore of the main window (its middle title-bar button).
// Maximising moves the controls relative to the screen and to where they
// stand; restoring puts the listed controls back to fixed places. The few
// controls restore does not list go back to their designed place too, so a
// second maximise starts from the same layout as the first.
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

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

void MainWindow::keepDesignedLayout() {
    m_designed = {ui->选择夹1->geometry(),         ui->分组框_计算区域->geometry(),
                  ui->透明标签_找零钱->geometry(), ui->透明标签_消费金额->geometry(),
                  ui->图片框_背景->geometry(),     ui->图片框_背景1->geometry(),
                  ui->透明标签_余额->font()};
}

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
    const int sw = screen.width(), sh = screen.height();
    const int left = x();
    auto& u = *ui;

    // The band starts right of the title, so a screen-wide band would run
    // past the window's edge: it ends there instead.
    setWidth(u.图片框2, std::min(sw, width() - u.图片框2->x()));
    u.选择夹1->resize(sw, sh);

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

    setLeft(u.分组框_计算区域, left + 1125);
    setHeight(u.分组框_计算区域, u.选择夹1->height());
    setWidth(u.分组框_计算区域, u.分组框_计算区域->width() + 400);

    setHeight(u.超级列表框_产品结账, sh - 200);
    setWidth(u.超级列表框_产品结账, width() - 300);

    setLeft(u.图形按钮_添加, u.图形按钮_添加->x() - 20);
    setLeft(u.图形按钮_添加, u.图形按钮_添加->x() + 100);
    setLeft(u.图形按钮_保存, u.图形按钮_保存->x() + 120);
    setLeft(u.图形按钮_清空, u.图形按钮_清空->x() + 100);
    setLeft(u.图形按钮_生成账单, u.图形按钮_生成账单->x() + 100);
    setLeft(u.图形按钮_删除, u.图形按钮_添加->x());

    setLeft(u.组合框1_商品名称, u.组合框1_商品名称->x() + 50);
    setWidth(u.组合框1_商品名称, u.组合框1_商品名称->width() + 50);
    setLeft(u.编辑框_价格, u.组合框1_商品名称->x());
    setWidth(u.编辑框_价格, u.组合框1_商品名称->width());
    setLeft(u.组合框1_数量, u.编辑框_价格->x());
    setWidth(u.组合框1_数量, u.组合框1_数量->width() + 50);
    // The payment method beside the price, 收款 under the buttons it ends.
    setLeft(u.组合框_付款方式, u.编辑框_价格->geometry().right() + 6);
    u.图形按钮_收款->setGeometry(u.图形按钮_删除->x(), u.图形按钮_收款->y(),
                                 u.图形按钮_生成账单->geometry().right() + 1 - u.图形按钮_删除->x(),
                                 u.图形按钮_收款->height());
    setLeft(u.透明标签_全部, 11);
    setTextSize(u.透明标签_全部, 10);

    for (QWidget* w :
         {static_cast<QWidget*>(u.标签_当前余额), static_cast<QWidget*>(u.透明标签_消费金额),
          static_cast<QWidget*>(u.透明标签_余额), static_cast<QWidget*>(u.透明标签_找零钱)})
        setTextSize(w, 20);
    setTop(u.标签_当前余额, u.标签_当前余额->y() + 105);
    setWidth(u.标签_当前余额, 110);
    setTop(u.编辑框1_当前余额, u.编辑框1_当前余额->y() + 105);
    setLeft(u.编辑框1_当前余额, u.编辑框1_当前余额->x() + 65);
    setWidth(u.编辑框1_当前余额, u.编辑框1_当前余额->width() + 50);
    setTop(u.透明标签_消费金额, u.透明标签_消费金额->y() + 155);
    setWidth(u.透明标签_消费金额, u.透明标签_消费金额->width() + 74);
    setTop(u.透明标签_余额, u.透明标签_余额->y() + 161);
    setLeft(u.透明标签_余额, u.透明标签_余额->x() + 60);
    setTop(u.透明标签_找零钱, u.透明标签_找零钱->y() + 250);
    setWidth(u.透明标签_找零钱, u.透明标签_找零钱->width() + 74);
    setTop(u.透明标签_找0钱, u.透明标签_找0钱->y() + 255);
    setLeft(u.透明标签_找0钱, u.透明标签_找0钱->x() + 60);

    setTop(u.图片框_背景1, u.图片框_背景1->y() + 265);
    setWidth(u.图片框_背景1, u.图片框_背景1->width() + 520);
    u.图片框_背景->resize(u.图片框_背景->width() + 400, u.图片框_背景->height() + 400);
    setTop(u.图片框6, u.图片框6->y() + 20);
    setHeight(u.图片框6, u.图片框6->height() - 12);
    fitToWindow();
}

void MainWindow::restoreLayout() {
    setWindowState(Qt::WindowNoState);
    if (m_normalGeometry.isValid()) setGeometry(m_normalGeometry);
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

    // Not listed above: back to the designed layout.
    const Designed& d = m_designed;
    u.选择夹1->setGeometry(d.tabs);
    setWidth(u.分组框_计算区域, d.group.width());
    setWidth(u.透明标签_找零钱, d.changeCaption.width());
    setWidth(u.透明标签_消费金额, d.totalCaption.width());
    u.透明标签_余额->setFont(d.totalFont);
    u.图片框_背景->setGeometry(d.background);
    u.图片框_背景1->setGeometry(d.footer);
    fitToWindow();
}

}  // namespace shop::checkout
