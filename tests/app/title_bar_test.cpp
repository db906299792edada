// One call lays out a window's top band: the band drags, the heading lets
// presses through to it, the close button closes, and the drag flag goes back
// to 0 when the window says.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "app/drag_state.h"
#include "app/frameless_window.h"

namespace shop::app {
namespace {

class Window : public FramelessWindow {
public:
    Window(const QString& key, DragReset reset) {
        setDesignedGeometry(QSize(300, 200));
        band = new QLabel(this);
        band->setGeometry(0, 0, 300, 30);
        title = new QLabel(QStringLiteral("标题"), band);
        close = new QPushButton(this);
        close->setGeometry(270, 5, 22, 18);
        setTitleBar({band, title, nullptr, nullptr, close}, key, reset);
    }
    QLabel* band;
    QLabel* title;
    QPushButton* close;
};

struct Case {
    const char* name;
    DragReset reset;
    int flagAfterCreation;  // a flag of 1 left from before
    int flagAfterClose;     // the flag set again while the window is open
};

class TitleBarTest : public testing::TestWithParam<Case> {};

TEST_P(TitleBarTest, ResetsTheDragFlagWhenTheWindowSays) {
    const Case& c = GetParam();
    const QString key = QStringLiteral("title_bar_test/%1").arg(QLatin1String(c.name));
    dragState(key).flag = 1;
    Window window(key, c.reset);
    EXPECT_EQ(dragState(key).flag, c.flagAfterCreation);
    window.show();
    dragState(key).flag = 1;
    window.close->click();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(dragState(key).flag, c.flagAfterClose);
}

INSTANTIATE_TEST_SUITE_P(Resets, TitleBarTest,
                         testing::Values(Case{"AtCreation", DragReset::AtCreation, 0, 1},
                                         Case{"OnClose", DragReset::OnClose, 1, 0},
                                         Case{"Never", DragReset::Never, 1, 1}),
                         [](const auto& instance) { return std::string(instance.param.name); });

TEST(TitleBar, TheBandDragsTheWindowAndTheHeadingLetsPressesThrough) {
    const QString key = QStringLiteral("title_bar_test/drag");
    Window window(key, DragReset::AtCreation);
    window.show();
    EXPECT_TRUE(window.title->testAttribute(Qt::WA_TransparentForMouseEvents));
    QTest::mousePress(window.band, Qt::LeftButton, {}, QPoint(40, 10));
    EXPECT_EQ(dragState(key).flag, 1);
    EXPECT_EQ(dragState(key).anchorX, 40);
    QTest::mouseRelease(window.band, Qt::LeftButton, {}, QPoint(40, 10));
    EXPECT_EQ(dragState(key).flag, 0);
}

}  // namespace
}  // namespace shop::app
