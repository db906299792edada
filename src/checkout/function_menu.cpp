#include "function_menu.h"

#include <QMenu>

#include "app/navigation.h"

namespace shop::checkout {

QMenu* makeFunctionMenu(QWidget* parent, const app::Navigation& nav, SaleModel& sale) {
    auto* menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("菜单_更多功能"));
    QAction* refund = menu->addAction(QStringLiteral("退货"));
    refund->setEnabled(static_cast<bool>(nav.refundWindow));
    QObject::connect(refund, &QAction::triggered, parent, [parent, &nav, &sale] {
        if (nav.refundWindow) nav.refundWindow(parent, sale);
    });
    QAction* close = menu->addAction(QStringLiteral("日结"));
    close->setEnabled(static_cast<bool>(nav.dayClose));
    QObject::connect(close, &QAction::triggered, parent, [parent, &nav] {
        if (nav.dayClose) nav.dayClose(parent);
    });
    return menu;
}

}  // namespace shop::checkout
