// Letting long work coexist with the user interface.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace shop::app {

// Runs every window event waiting for the calling thread, then returns; never
// blocks. Handlers of the pending events run inside this call.
void pumpMessages();

// Names (without folder) of the entries of `folder` matching the wildcard
// `pattern` ("*.*", "*"), in the order the file system returns them, unsorted.
// Pumps messages once after each name found.
QStringList listFolder(const QString& folder, const QString& pattern);

// Starts `routine` on a new thread at once and returns without waiting; the
// thread is detached and ends with the routine.
void startBackground(std::function<void()> routine);

}  // namespace shop::app
