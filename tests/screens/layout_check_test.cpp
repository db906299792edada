// The layout check finds what a cashier would see as broken, and accepts the
// compositions the windows use on purpose.
#include "layout_check.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace shop::test {
namespace {

// A screen of its own, whatever screen the run has: the windows below are
// placed against it.
const QRect kTill(0, 0, 1280, 800);

template <typename W>
W* add(QWidget* parent, const char* name, QRect geometry) {
    auto* w = new W(parent);
    w->setObjectName(QString::fromUtf8(name));
    w->setGeometry(geometry);
    return w;
}

TEST(LayoutCheck, ReportsControlsOffTheScreenCutOrCovered) {
    QWidget window;
    window.setGeometry(1000, 100, 400, 300);  // 120 pixels past the right edge
    add<QPushButton>(&window, "图形按钮_右", QRect(300, 10, 80, 24));
    add<QLineEdit>(&window, "编辑框_下", QRect(10, 290, 80, 24));
    add<QLineEdit>(&window, "编辑框_底", QRect(10, 100, 80, 24));
    add<QLabel>(&window, "图片框_盖", QRect(0, 90, 200, 40));
    window.show();
    const QStringList problems = layoutProblems(window, kTill);
    ASSERT_EQ(problems.size(), 4) << problems.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(problems[0].startsWith(QStringLiteral("window off the screen")));
    EXPECT_TRUE(problems[1].startsWith(QStringLiteral("off the screen: 图形按钮_右")));
    EXPECT_TRUE(problems[2].startsWith(QStringLiteral("cut by")) &&
                problems[2].contains(QStringLiteral("编辑框_下")));
    EXPECT_TRUE(problems[3].startsWith(QStringLiteral("图片框_盖")) &&
                problems[3].contains(QStringLiteral("编辑框_底")));
}

TEST(LayoutCheck, AcceptsBackgroundsCaptionsAndParkedCopies) {
    QWidget window;
    window.setGeometry(50, 50, 400, 300);
    add<QLabel>(&window, "图片框_背景", QRect(0, 0, 400, 300));  // below everything
    add<QPushButton>(&window, "图形按钮_图", QRect(10, 10, 70, 60));
    auto* caption = add<QLabel>(&window, "透明标签_说明", QRect(10, 50, 70, 17));
    caption->setText(QStringLiteral("添加产品"));
    caption->setAttribute(Qt::WA_TransparentForMouseEvents);          // printed on the button
    add<QPushButton>(&window, "按钮_备用", QRect(100, -40, 75, 23));  // parked above the window
    window.show();
    EXPECT_TRUE(layoutProblems(window, kTill).isEmpty())
        << layoutProblems(window, kTill).join(QLatin1Char('\n')).toStdString();
}

TEST(LayoutCheck, AContainerIsCoveredOnlyWhereItHoldsAControl) {
    QWidget window;
    window.setGeometry(50, 50, 400, 300);
    auto* group = add<QWidget>(&window, "分组框_区域", QRect(0, 60, 400, 240));
    add<QLineEdit>(group, "编辑框_里", QRect(10, 40, 100, 24));       // window y 100..123
    add<QPushButton>(&window, "图形按钮_顶", QRect(200, 0, 70, 63));  // into the group's empty top
    window.show();
    EXPECT_TRUE(layoutProblems(window, kTill).isEmpty())
        << layoutProblems(window, kTill).join(QLatin1Char('\n')).toStdString();
    add<QPushButton>(&window, "图形按钮_盖", QRect(20, 90, 70, 20))->show();  // over the line edit
    const QStringList problems = layoutProblems(window, kTill);
    ASSERT_EQ(problems.size(), 1) << problems.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(problems[0].startsWith(QStringLiteral("图形按钮_盖")) &&
                problems[0].contains(QStringLiteral("分组框_区域")));
}

}  // namespace
}  // namespace shop::test
