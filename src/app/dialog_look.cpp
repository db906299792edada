#include "dialog_look.h"

#include <QApplication>
#include <QFont>
#include <QWidget>

namespace shop::app {

QString programName() { return QStringLiteral("澄屿店铺管理系统"); }

QString dialogTitle(const QString& own) {
    // The separator the window system puts between a title and the program's
    // display name, so a title that ends in the name is never named twice.
    return own.isEmpty() ? programName() : own + QStringLiteral(" \u2014 ") + programName();
}

void dressDialog(QWidget* dialog, const QString& ownTitle) {
    dialog->setWindowTitle(dialogTitle(ownTitle));
    QFont font = QApplication::font();
    font.setPointSize(kDialogPoints);
    dialog->setFont(font);
    // Under the program's style sheet a child polished already keeps the
    // size it had, and a file dialog makes children later: a rule of the
    // dialog's own reaches them all.
    dialog->setStyleSheet(dialog->styleSheet() +
                          QStringLiteral("\nQWidget { font-size: %1pt; }").arg(kDialogPoints));
}

}  // namespace shop::app
