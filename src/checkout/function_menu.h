// The menu behind the 更多功能 button: the till's functions beyond the sale
// itself (refunds, the day close), each opened through the navigation.
#pragma once

class QMenu;
class QWidget;

namespace shop::app {
struct Navigation;
}

namespace shop::checkout {

class SaleModel;

// A menu whose entries open what `nav` wires; an entry nothing is wired to
// is shown disabled. The menu and its entries belong to `parent`.
QMenu* makeFunctionMenu(QWidget* parent, const app::Navigation& nav, SaleModel& sale);

}  // namespace shop::checkout
