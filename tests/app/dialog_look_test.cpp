// Every box and dialog the program shows through its one door to the
// platform carries the program's Chinese name as its title and text the
// cashier reads at the till, in the box and on its buttons.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QTimer>
#include <functional>

#include "app/platform.h"
#include "app/style.h"

namespace shop::app {
namespace {

struct Shown {
    QString title;
    qreal smallestText = 0;  // points, over the dialog's labels and buttons
    bool seen = false;
};

// Runs `open`, which shows a modal dialog, and reads that dialog before
// dismissing it.
Shown whatIsShown(const std::function<void()>& open) {
    Shown shown;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        shown.seen = true;
        shown.title = dialog->windowTitle();
        shown.smallestText = 1000;
        for (const QWidget* w : dialog->findChildren<QWidget*>()) {
            const bool hasText = (qobject_cast<const QLabel*>(w) &&
                                  !static_cast<const QLabel*>(w)->text().isEmpty()) ||
                                 qobject_cast<const QAbstractButton*>(w);
            if (hasText && w->isVisible())
                shown.smallestText = std::min(shown.smallestText, w->font().pointSizeF());
        }
        dialog->reject();
    });
    open();
    return shown;
}

TEST(DialogLook, EveryBoxAndDialogCarriesTheProgramsNameAndReadableText) {
    style::apply(*qobject_cast<QApplication*>(qApp));
    const QString name = QStringLiteral("澄屿店铺管理系统");
    struct Case {
        const char* what;
        std::function<void()> open;
        QString title;  // empty: the dialog's own title, then the name
    };
    const Case cases[] = {
        {"message", [] { showMessage(nullptr, QStringLiteral("保存成功")); }, name},
        {"short message", [] { showMessage(nullptr, QStringLiteral("同意")); }, name},
        {"question",
         [] {
             askYesNo(nullptr, QStringLiteral("导入产品提示信息"), QStringLiteral("是否导入？"));
         },
         QStringLiteral("导入产品提示信息 \u2014 ") + name},
        {"open dialog", [] { chooseOpenFile(nullptr, QStringLiteral("*.bmp")); }, {}},
        {"save dialog",
         [] { chooseSaveFile(nullptr, QStringLiteral("*.csv"), QStringLiteral("a.csv")); },
         {}},
    };
    const qreal tillText = 12;  // points: what the cashier reads at arm's length
    for (const Case& c : cases) {
        const Shown shown = whatIsShown(c.open);
        ASSERT_TRUE(shown.seen) << c.what << " showed no dialog";
        if (c.title.isEmpty()) {
            EXPECT_TRUE(shown.title.endsWith(QStringLiteral(" \u2014 ") + name))
                << c.what << ": " << shown.title.toStdString();
            EXPECT_GT(shown.title.size(), name.size() + 3) << c.what << " lost its own title";
        } else {
            EXPECT_EQ(shown.title, c.title) << c.what;
        }
        EXPECT_GE(shown.smallestText, tillText) << c.what << " has small text";
    }
    EXPECT_EQ(QApplication::applicationDisplayName(), name)
        << "the toolkit's own dialogs are named after the program too";
}

}  // namespace
}  // namespace shop::app
