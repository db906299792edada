// Escape closes a window the way its close button does.
#include "app/frameless_window.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>

namespace shop::app {
namespace {

class Window : public FramelessWindow {
public:
    explicit Window(std::function<void(Window&)> onClose = {}) {
        setDesignedGeometry(QSize(300, 200));
        m_close = new QPushButton(this);
        if (onClose) {
            setCloseButton(m_close, [this, onClose] { onClose(*this); });
        } else {
            setCloseButton(m_close);
        }
    }
    QPushButton* m_close;
};

TEST(FramelessWindowClose, EscapeRunsTheCloseButtonsHandlerOnce) {
    int runs = 0;
    Window window([&](Window& w) {
        ++runs;
        w.close();  // as a window whose handler closes it itself
    });
    window.show();
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_EQ(runs, 1);
    EXPECT_FALSE(window.isVisible());

    window.show();
    window.m_close->click();
    EXPECT_EQ(runs, 2);
    EXPECT_FALSE(window.isVisible());
}

TEST(FramelessWindowClose, EscapeClosesWithTheDefaultHandler) {
    Window window;
    window.show();
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.result(), 0);
}

TEST(FramelessWindowClose, AHandlerThatKeepsTheWindowOpenIsObeyed) {
    int runs = 0;
    Window window([&](Window&) { ++runs; });  // e.g. a close that must first be confirmed
    window.show();
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(window.isVisible());
}

}  // namespace
}  // namespace shop::app
