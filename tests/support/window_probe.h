// Reaching a window's controls by their names in widget tests.
#pragma once

#include <gtest/gtest.h>

#include <QLabel>
#include <QWidget>

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

}  // namespace shop::test
