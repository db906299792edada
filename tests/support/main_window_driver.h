// Drives the main window in a test: a scripted platform, a temporary run
// folder, and the window built on them, reached through its control names.
#pragma once

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <memory>
#include <string>
#include <vector>

#include "app/scripted_platform.h"
#include "checkout/main_window.h"
#include "run_folder.h"

namespace shop::test {

class MainWindowDriver {
public:
    app::ScriptedPlatform platform;
    RunFolder run;
    std::unique_ptr<checkout::MainWindow> window;

    MainWindowDriver() = default;
    // With the run folder inside `under`.
    explicit MainWindowDriver(const std::string& under) : run(under) {}

    // Builds the window (its creation step runs now).
    checkout::MainWindow& start(const app::Navigation& nav = {}) {
        window = std::make_unique<checkout::MainWindow>(nav);
        return *window;
    }

    template <typename T>
    T* child(const char* name) const {
        T* w = window->findChild<T*>(QString::fromUtf8(name));
        EXPECT_NE(w, nullptr) << "no control " << name;
        return w;
    }
    QPushButton* button(const char* name) const { return child<QPushButton>(name); }
    QLabel* label(const char* name) const { return child<QLabel>(name); }

    QComboBox* goods() const { return child<QComboBox>("组合框1_商品名称"); }
    QComboBox* quantity() const { return child<QComboBox>("组合框1_数量"); }
    QLineEdit* price() const { return child<QLineEdit>("编辑框_价格"); }
    QLineEdit* tendered() const { return child<QLineEdit>("编辑框1_当前余额"); }
    QTreeWidget* list() const { return child<QTreeWidget>("超级列表框_产品结账"); }
    QString total() const { return label("透明标签_余额")->text(); }
    QString change() const { return label("透明标签_找0钱")->text(); }
    // Why the last 添加 or 删除 did nothing; empty when it did its work.
    QString hint() const { return label("标签_结账提示")->text(); }
    // Rows of the checkout list shown selected.
    std::vector<int> selectedRows() const {
        std::vector<int> out;
        for (int i = 0; i < list()->topLevelItemCount(); ++i)
            if (list()->topLevelItem(i)->isSelected()) out.push_back(i);
        return out;
    }

    // The cashier picks the goods name at `index`.
    void chooseGoods(int index) const {
        goods()->setCurrentIndex(index);
        Q_EMIT goods()->activated(index);
    }
    // The cashier picks the quantity item with this text.
    void chooseQuantity(const QString& text) const {
        const int i = quantity()->findText(text);
        ASSERT_GE(i, 0) << "no quantity item " << text.toStdString();
        quantity()->setCurrentIndex(i);
    }
    void click(const char* name) const { button(name)->click(); }

    QStringList items(const QComboBox* combo) const {
        QStringList out;
        for (int i = 0; i < combo->count(); ++i) out << combo->itemText(i);
        return out;
    }
    // Cells of every checkout row.
    std::vector<std::vector<std::string>> rows() const {
        std::vector<std::vector<std::string>> out;
        for (int i = 0; i < list()->topLevelItemCount(); ++i) {
            std::vector<std::string> row;
            for (int c = 0; c < 4; ++c)
                row.push_back(list()->topLevelItem(i)->text(c).toStdString());
            out.push_back(std::move(row));
        }
        return out;
    }
};

}  // namespace shop::test
