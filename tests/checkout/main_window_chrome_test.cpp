// The main window's chrome: dragging by its handles, and maximise/restore
// with its re-layout.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QTabWidget>
#include <algorithm>

#include "app/drag_state.h"
#include "support/main_window_driver.h"

namespace shop::test {
namespace {

void send(QWidget* handle, QEvent::Type type, QPoint at, Qt::MouseButton button,
          Qt::MouseButtons held) {
    QMouseEvent e(type, QPointF(at), handle->mapToGlobal(QPointF(at)), button, held,
                  Qt::NoModifier);
    QApplication::sendEvent(handle, &e);
}
void press(QWidget* h, QPoint at, Qt::MouseButton b = Qt::LeftButton) {
    send(h, QEvent::MouseButtonPress, at, b, b);
}
void release(QWidget* h, QPoint at) {
    send(h, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
}
void moveTo(QWidget* h, QPoint at, Qt::MouseButtons held = Qt::LeftButton) {
    send(h, QEvent::MouseMove, at, Qt::NoButton, held);
}

class DragTest : public ::testing::Test {
protected:
    MainWindowDriver d;
    void SetUp() override { d.start(); }
    ~DragTest() override {
        for (const char* h : {"main/透明标签4", "main/图片框2", "main/图片框1"})
            app::dragState(h).reset();
    }
};

TEST_F(DragTest, ThirtyPixelsRightMovesTheWindowThirtyPixelsRight) {
    for (const char* name : {"透明标签4", "图片框2", "图片框1"}) {
        QWidget* handle = d.child<QWidget>(name);
        const QPoint start = d.window->pos();
        press(handle, {10, 10});
        moveTo(handle, {40, 10});
        release(handle, {40, 10});
        EXPECT_EQ(d.window->pos(), start + QPoint(30, 0)) << name;
    }
}

TEST_F(DragTest, ADiagonalMoveGoesHorizontallyFirst) {
    QWidget* handle = d.child<QWidget>("图片框1");
    const QPoint start = d.window->pos();
    press(handle, {10, 10});
    moveTo(handle, {40, 25});  // right wins over down
    EXPECT_EQ(d.window->pos(), start + QPoint(30, 0));
    moveTo(handle, {10, 25});  // level with the anchor: now down
    EXPECT_EQ(d.window->pos(), start + QPoint(30, 15));
    moveTo(handle, {10, 2});  // and up
    EXPECT_EQ(d.window->pos(), start + QPoint(30, 7));
    moveTo(handle, {4, 2});  // left wins over up
    EXPECT_EQ(d.window->pos(), start + QPoint(24, 7));
    release(handle, {10, 2});
}

TEST_F(DragTest, MovingWithoutAPressOrAfterTheReleaseMovesNothing) {
    QWidget* handle = d.child<QWidget>("透明标签4");
    const QPoint start = d.window->pos();
    moveTo(handle, {40, 30}, Qt::NoButton);
    EXPECT_EQ(d.window->pos(), start);
    press(handle, {10, 10}, Qt::RightButton);
    moveTo(handle, {40, 10});
    EXPECT_EQ(d.window->pos(), start);
    press(handle, {10, 10});
    release(handle, {10, 10});
    moveTo(handle, {40, 10});
    EXPECT_EQ(d.window->pos(), start);
}

TEST_F(DragTest, EachHandleKeepsItsOwnState) {
    press(d.child<QWidget>("图片框1"), {3, 4});
    EXPECT_EQ(app::dragState("main/图片框1").flag, 1);
    EXPECT_EQ(app::dragState("main/图片框1").anchorX, 3);
    EXPECT_EQ(app::dragState("main/图片框1").anchorY, 4);
    EXPECT_EQ(app::dragState("main/图片框2").flag, 0);
    EXPECT_EQ(app::dragState("main/透明标签4").flag, 0);
    // A move over another handle does not follow the first one's drag.
    const QPoint start = d.window->pos();
    moveTo(d.child<QWidget>("图片框2"), {50, 4});
    EXPECT_EQ(d.window->pos(), start);
}

TEST(MainWindowDrag, CreationResetsTheFlagsOfBothPictureBoxes) {
    app::dragState("main/图片框1").flag = 1;
    app::dragState("main/图片框2").flag = 1;
    app::dragState("main/透明标签4").flag = 1;
    MainWindowDriver d;
    d.start();
    EXPECT_EQ(app::dragState("main/图片框1").flag, 0);
    EXPECT_EQ(app::dragState("main/图片框2").flag, 0);
    EXPECT_EQ(app::dragState("main/透明标签4").flag, 1);
    app::dragState("main/透明标签4").reset();
}

// Where a control stands, inside its container.
struct Place {
    const char* name;
    int left, top, width, height;  // -1: not checked
};

void expectPlaces(const MainWindowDriver& d, const std::vector<Place>& places, const char* when) {
    for (const Place& p : places) {
        const QWidget* w = d.child<QWidget>(p.name);
        if (!w) continue;
        if (p.left >= 0) {
            EXPECT_EQ(w->x(), p.left) << when << " left of " << p.name;
        }
        if (p.top >= 0) {
            EXPECT_EQ(w->y(), p.top) << when << " top of " << p.name;
        }
        if (p.width >= 0) {
            EXPECT_EQ(w->width(), p.width) << when << " width of " << p.name;
        }
        if (p.height >= 0) {
            EXPECT_EQ(w->height(), p.height) << when << " height of " << p.name;
        }
    }
}

int textSize(const MainWindowDriver& d, const char* name) {
    return d.child<QWidget>(name)->font().pointSize();
}

// Every value restore sets.
const std::vector<Place> kRestored{
    {"图片框2", -1, -1, 600, -1},
    {"图形按钮1_关闭", 576, -1, -1, -1},
    {"图形按钮1_放大", 551, -1, -1, -1},
    {"图形按钮1_易", 520, -1, -1, -1},
    {"图形按钮_添加", 8, 123, -1, -1},
    {"图形按钮_保存", 119, -1, -1, -1},
    {"图形按钮_清空", 98, -1, 98, -1},
    {"图形按钮_生成账单", 98, -1, -1, -1},
    {"图形按钮_删除", 8, -1, -1, -1},
    {"分组框_计算区域", 694, -1, -1, 425},
    {"超级列表框_产品结账", -1, -1, 688, 425},
    {"透明标签_找零钱", -1, 374, -1, -1},
    {"透明标签_找0钱", 86, 347, -1, -1},
    {"透明标签_消费金额", 12, 293, -1, -1},
    {"透明标签_余额", 82, 266, -1, -1},
    {"透明标签_全部", 8, 25, -1, 117},
    {"标签_当前余额", 10, 215, 56, -1},
    {"编辑框1_当前余额", 64, 212, 132, -1},
    {"组合框1_商品名称", 67, -1, 112, -1},
    {"编辑框_价格", 42, -1, 72, -1},
    {"组合框1_数量", 46, -1, 72, -1},
    {"图片框6", -1, 41, -1, 71},
};

class MaximiseTest : public ::testing::Test {
protected:
    MainWindowDriver d;
    QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    void SetUp() override { d.start(); }
    void toggle() { d.click("图形按钮1_放大"); }

    // Every control of the checkout page and of its group, with its place
    // and its type.
    struct Look {
        std::string name;
        QRect geometry;
        qreal points;
        bool operator==(const Look&) const = default;
    };
    std::vector<Look> counter() const {
        std::vector<Look> out;
        for (const char* container : {"选择夹1_收银", "分组框_计算区域"})
            for (const QWidget* w :
                 d.child<QWidget>(container)->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                out.push_back(
                    {w->objectName().toStdString(), w->geometry(), w->font().pointSizeF()});
        return out;
    }
};

// The band spans the screen with its buttons at its end; the counter spans
// the page below it: the group at the right edge and down to the bottom,
// the list in all the width left of it. On a screen no larger than the
// designed window nothing is made smaller than designed.
TEST_F(MaximiseTest, MaximisingFillsTheScreenWithTheCounter) {
    const std::vector<Look> designed = counter();
    toggle();
    EXPECT_TRUE(d.window->windowState() & Qt::WindowMaximized);
    EXPECT_EQ(d.window->size(), screen);
    const int sw = screen.width(), left = d.window->x();
    const int band = d.child<QWidget>("图片框2")->x();
    const int shift = band + left + 1120 + 22 - (sw - 4);
    expectPlaces(d,
                 {{"图形按钮1_关闭", left + 1120 - shift, -1, -1, -1},
                  {"图形按钮1_放大", left + 1095 - shift, -1, -1, -1},
                  {"图形按钮1_易", left + 1065 - shift, -1, -1, -1}},
                 "maximised");

    const QWidget* page = d.child<QWidget>("选择夹1_收银");
    const QRect group = d.child<QWidget>("分组框_计算区域")->geometry();
    const QRect list = d.list()->geometry();
    EXPECT_EQ(group.right(), page->width() - 1 - 2) << "no strip right of the group";
    EXPECT_EQ(group.bottom(), page->height() - 1 - 4);
    EXPECT_EQ(list.right(), group.left() - 4 - 1);
    EXPECT_EQ(list.left(), 2) << "the list spans the page left of the group";
    for (std::size_t i = 0; i < designed.size(); ++i)
        EXPECT_GE(counter()[i].points, designed[i].points) << designed[i].name;
}

TEST_F(MaximiseTest, RestoringPutsEveryListedControlBack) {
    const QRect normal = d.window->geometry();
    const int designedTotalSize = textSize(d, "透明标签_余额");
    const std::vector<Look> designed = counter();
    toggle();
    toggle();
    // Every control of the counter, listed or not, as designed.
    EXPECT_EQ(counter(), designed);
    EXPECT_EQ(d.window->windowState(), Qt::WindowNoState);
    EXPECT_EQ(d.window->geometry(), normal);
    expectPlaces(d, kRestored, "restored");
    for (const char* n : {"透明标签_找零钱", "透明标签_消费金额", "透明标签_全部", "标签_当前余额"})
        EXPECT_EQ(textSize(d, n), 9) << n;
    // What restore does not list goes back to its designed place as well.
    // The tab control and the group end at the window's right edge, where
    // their designed widths would have cut the group's border off.
    expectPlaces(d,
                 {{"选择夹1", 0, 61, d.window->width(), 507},
                  {"分组框_计算区域", 694, -1, -1, 425},
                  {"透明标签_找零钱", -1, -1, 64, -1},
                  {"透明标签_消费金额", -1, -1, 64, -1},
                  {"图片框_背景", 4, 204, -1, 214},
                  {"图片框_背景1", 0, 462, -1, 40}},
                 "restored");
    // The decorations follow their panels: inside the group, along the page.
    const QWidget* group = d.child<QWidget>("分组框_计算区域");
    EXPECT_TRUE(group->rect().contains(d.child<QWidget>("图片框_背景")->geometry()));
    const QWidget* footer = d.child<QWidget>("图片框_背景1");
    EXPECT_EQ(footer->width(), footer->parentWidget()->width());
    EXPECT_LE(d.child<QWidget>("分组框_计算区域")->geometry().right(), d.window->width() - 1);
    EXPECT_EQ(textSize(d, "透明标签_余额"), designedTotalSize);
}

TEST_F(MaximiseTest, ASecondMaximiseGivesTheSameLayoutAsTheFirst) {
    toggle();
    const std::vector<Look> first = counter();
    toggle();
    toggle();
    EXPECT_EQ(counter(), first);
}

TEST_F(MaximiseTest, RestoringReturnsADraggedWindowToWhereItWas) {
    d.window->move(120, 80);
    toggle();
    toggle();
    EXPECT_EQ(d.window->pos(), QPoint(120, 80));
}

TEST_F(MaximiseTest, AMinimisedWindowIgnoresTheButton) {
    d.window->setWindowState(Qt::WindowMinimized);
    toggle();
    EXPECT_EQ(d.window->windowState(), Qt::WindowMinimized);
    expectPlaces(d, kRestored, "minimised");
}

}  // namespace
}  // namespace shop::test
