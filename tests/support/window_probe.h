// Reaching a window's controls by their names in widget tests.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QLabel>
#include <QWidget>
#include <string>
#include <vector>

namespace shop::test {

// The control of that name and kind; fails the test (and returns a null
// pointer) when the window has none.
template <typename T>
T* control(const QWidget& window, const char* name) {
    T* found = window.findChild<T*>(QString::fromUtf8(name));
    EXPECT_NE(found, nullptr) << "no control " << name;
    return found;
}

inline QString labelText(const QWidget& window, const char* name) {
    const QLabel* label = control<QLabel>(window, name);
    return label ? label->text() : QString();
}

// Every cell of a list model's rows, as its display texts.
inline std::vector<std::vector<std::string>> modelRows(const QAbstractItemModel& model) {
    std::vector<std::vector<std::string>> rows;
    for (int i = 0; i < model.rowCount(); ++i) {
        std::vector<std::string> row;
        for (int c = 0; c < model.columnCount(); ++c)
            row.push_back(model.index(i, c).data().toString().toStdString());
        rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace shop::test
