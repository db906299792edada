// Where a window opens: centred over its opener, moved onto the screen.
#include "app/placement.h"

#include <gtest/gtest.h>

namespace shop::app {
namespace {

TEST(Placement, CentresOverTheOpenerAndKeepsTheWindowOnTheScreen) {
    const QRect screen(0, 0, 1366, 768);
    const QRect secondScreen(1366, 0, 1920, 1080);
    struct Case {
        const char* what;
        QSize size;
        QRect opener, screen;
        QPoint expected;
    };
    const Case cases[] = {
        {"over a maximised till", {594, 350}, screen, screen, {386, 209}},
        {"over a smaller opener", {431, 431}, {50, 50, 899, 586}, screen, {284, 127}},
        {"as large as its opener", {300, 200}, {10, 20, 300, 200}, screen, {10, 20}},
        {"opener near the right and bottom edges",
         {594, 350},
         {1200, 600, 300, 300},
         screen,
         {772, 418}},
        {"opener partly off the top left", {594, 350}, {-400, -300, 899, 586}, screen, {0, 0}},
        {"taller than the screen: the top stays on it",
         {400, 900},
         {0, 0, 800, 600},
         screen,
         {200, 0}},
        {"on a second screen", {594, 350}, {1366, 0, 1920, 1080}, secondScreen, {2029, 365}},
        {"opener mostly left of its screen",
         {594, 350},
         {1100, 0, 400, 400},
         secondScreen,
         {1366, 25}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(centredOver(c.size, c.opener, c.screen), c.expected) << c.what;
}

}  // namespace
}  // namespace shop::app
