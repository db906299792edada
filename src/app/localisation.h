// The program speaks Chinese: Qt's own translations of its standard texts
// (dialog buttons, calendars, file dialogs) and a Chinese locale for the
// names of months and days.
#pragma once

class QCoreApplication;

namespace shop::app {

// Sets the Chinese locale as the default and installs Qt's translation of
// its standard texts, when the system has one. Returns whether the
// translation was found and installed; without it the program still runs,
// with Qt's built-in English texts on the standard buttons.
bool useChinese(QCoreApplication& app);

}  // namespace shop::app
