// A window believed elsewhere than the window system reports it: the first
// press that shows the difference puts the belief right; presses that agree,
// and pointer motion (a drag in progress), leave it as it is.
#include "app/window_origin.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>
#include <QtTest/QTest>

namespace shop::app {
namespace {

TEST(WindowOrigin, APressShowingTheTruePlacePutsTheBeliefRight) {
    const struct {
        const char* what;
        QEvent::Type type;
        QPoint off;  // where the window truly stands, from where it is believed
        QPoint expectedShift;
    } cases[] = {
        {"a press, window truly elsewhere", QEvent::MouseButtonPress, {545, 138}, {545, 138}},
        {"a press, believed up and left", QEvent::MouseButtonPress, {-40, -20}, {-40, -20}},
        {"a press that agrees", QEvent::MouseButtonPress, {0, 0}, {0, 0}},
        {"a pixel of rounding", QEvent::MouseButtonPress, {1, 0}, {0, 0}},
        {"pointer motion", QEvent::MouseMove, {545, 138}, {0, 0}},
        {"a release", QEvent::MouseButtonRelease, {545, 138}, {0, 0}},
    };
    for (const auto& c : cases) {
        QWidget window;
        window.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
        window.setGeometry(20, 30, 300, 200);
        keepTrueOrigin(&window);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window)) << c.what;
        const QPoint before = window.pos();
        const QPointF local(40, 50);
        const QPointF global = QPointF(window.mapToGlobal(local.toPoint()) + c.off);
        const Qt::MouseButton button = c.type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(c.type, local, local, global, button,
                          c.type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, {});
        QApplication::sendEvent(window.windowHandle(), &event);
        EXPECT_EQ(window.pos(), before + c.expectedShift) << c.what;
    }
}

}  // namespace
}  // namespace shop::app
