// What the product tests share: a run folder with a catalogue, a scripted
// platform, the checkout's goods combo as a standalone widget, and ways to
// drive the product window by its control names.
#pragma once

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "app/checkout_area.h"
#include "app/scripted_platform.h"
#include "products/product_window.h"
#include "storage/table.h"
#include "support/run_folder.h"

namespace shop::products::test_support {

using Rows = std::vector<std::vector<std::string>>;

class ProductTest : public ::testing::Test {
protected:
    shop::test::RunFolder run;
    app::ScriptedPlatform platform;
    QComboBox goods;

    app::CheckoutArea checkout() { return {nullptr, &goods, nullptr, nullptr}; }
    Rows productTable() const { return shop::test::readAll(run.paths().product()); }
    Rows saveTable() const { return shop::test::readAll(run.paths().productSave()); }

    // The main window keeps the product-save table open for the whole run.
    void openSaveTableLikeTheMainWindow() { ASSERT_TRUE(storage::open(run.paths().productSave())); }
};

inline QListWidget* list(const QWidget& w, const char* name) {
    auto* l = w.findChild<QListWidget*>(QString::fromUtf8(name));
    EXPECT_NE(l, nullptr) << name;
    return l;
}

inline QStringList entries(const QWidget& w, const char* name) {
    QStringList out;
    if (const QListWidget* l = list(w, name))
        for (int i = 0; i < l->count(); ++i) out << l->item(i)->text();
    return out;
}

// The three lists read across: one row per product.
inline Rows lists(const QWidget& w) {
    const QStringList n = entries(w, "选择列表框_设置商品名称"),
                      p = entries(w, "选择列表框_设置商品价格"),
                      q = entries(w, "选择列表框_设置商品数量");
    EXPECT_TRUE(n.size() == p.size() && p.size() == q.size());
    Rows rows;
    for (int i = 0; i < n.size() && i < p.size() && i < q.size(); ++i)
        rows.push_back({n[i].toStdString(), p[i].toStdString(), q[i].toStdString()});
    return rows;
}

inline QLineEdit* box(const QWidget& w, const char* name) {
    auto* b = w.findChild<QLineEdit*>(QString::fromUtf8(name));
    EXPECT_NE(b, nullptr) << name;
    return b;
}

inline void fill(const QWidget& w, const QString& name, const QString& price,
                 const QString& quantity) {
    box(w, "编辑框_名称")->setText(name);
    box(w, "编辑框_产品价格")->setText(price);
    box(w, "编辑框_数量")->setText(quantity);
}

inline void click(const QWidget& w, const char* name) {
    auto* b = w.findChild<QPushButton*>(QString::fromUtf8(name));
    ASSERT_NE(b, nullptr) << name;
    b->click();
}

}  // namespace shop::products::test_support
