// The real yes/no question: what the keys and buttons of the box answer. A
// question guards a change that cannot be undone, so only Yes itself says
// yes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>
#include <functional>

#include "app/platform.h"

namespace shop::app {
namespace {

TEST(Question, OnlyYesItselfAnswersYes) {
    const struct {
        const char* what;
        std::function<void(QMessageBox&)> act;
        bool yes;
    } cases[] = {
        {"Enter", [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Return); }, false},
        {"Escape", [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); }, false},
        {"No", [](QMessageBox& box) { box.button(QMessageBox::No)->click(); }, false},
        {"Yes", [](QMessageBox& box) { box.button(QMessageBox::Yes)->click(); }, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        bool shown = false;
        QString text;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            shown = true;
            text = box->text();
            EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::No));
            c.act(*box);
        });
        EXPECT_EQ(askYesNo(nullptr, QStringLiteral("提示"), QStringLiteral("确定吗？")), c.yes);
        EXPECT_TRUE(shown);
        EXPECT_EQ(text, QStringLiteral("确定吗？"));
    }
}

}  // namespace
}  // namespace shop::app
