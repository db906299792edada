// The main window's checkout area, without the main window: what the receipt
// window reads its lines, total and change from.
#pragma once

#include <QComboBox>
#include <QLabel>
#include <QTreeWidget>

#include "app/checkout_area.h"

namespace shop::receipts {

struct Checkout {
    QTreeWidget list;
    QComboBox goods;
    QLabel total{QStringLiteral("0元")};
    QLabel change{QStringLiteral("0元")};
    Checkout() { list.setColumnCount(4); }
    app::CheckoutArea area() { return {&list, &goods, &total, &change}; }
    void add(const QString& name, const QString& price, const QString& quantity) {
        auto* row = new QTreeWidgetItem(&list);
        row->setText(0, name);
        row->setText(1, price);
        row->setText(2, quantity);
        row->setText(3, QStringLiteral("2024年3月5日14时7分9秒"));
    }
};

}  // namespace shop::receipts
