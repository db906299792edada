// What every message box and dialog of the program wears: the program's
// Chinese name as its title, and text as large as the cashier reads at the
// till, not the toolkit's small default.
#pragma once

#include <QString>

class QWidget;

namespace shop::app {

// 澄屿店铺管理系统, as the main window's title has it.
QString programName();

// A box's or dialog's title: the program's name, after the dialog's own title
// when it has one ("导入产品提示信息 — 澄屿店铺管理系统").
QString dialogTitle(const QString& own = QString());

// The text size of boxes and dialogs, in points.
inline constexpr int kDialogPoints = 12;

// Gives `dialog` its title (from its own, if any) and the dialog text size.
void dressDialog(QWidget* dialog, const QString& ownTitle = QString());

}  // namespace shop::app
