// What other windows may reach of the main window's checkout area: the
// receipt copies the list, total and change; the product import fills the
// goods combo.
#pragma once

class QComboBox;
class QLabel;
class QTreeWidget;

namespace shop::app {

struct CheckoutArea {
    QTreeWidget* list = nullptr;  // 超级列表框_产品结账
    QComboBox* goods = nullptr;   // 组合框1_商品名称
    QLabel* total = nullptr;      // 透明标签_余额
    QLabel* change = nullptr;     // 透明标签_找0钱
};

}  // namespace shop::app
