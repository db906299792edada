// The one door to the platform's dialogs and to ending the process, so that
// tests can script the answers and read what the program showed.
#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace shop::app {

class Platform {
public:
    virtual ~Platform() = default;

    // A message box with only the given text and an OK button; returns when it
    // is dismissed. Safe to call from any thread: a call from a worker runs
    // the box on the user-interface thread and waits for it.
    virtual void message(QWidget* parent, const QString& text) = 0;
    // A question with Yes and No buttons, No the default; true for Yes.
    virtual bool askYesNo(QWidget* parent, const QString& title, const QString& text) = 0;
    // The file-open dialog with a name filter such as "*.bmp"; empty when cancelled.
    virtual QString openFileName(QWidget* parent, const QString& filter) = 0;
    // The file-save dialog with a name filter such as "PDF (*.pdf)", offering
    // `suggestedName`; asks before replacing a file; empty when cancelled.
    virtual QString saveFileName(QWidget* parent, const QString& filter,
                                 const QString& suggestedName) = 0;
    // Ends the process with the exit code. Does not return in production; a
    // test platform records the code and returns, so callers return right
    // after calling it.
    virtual void exitProcess(int code) = 0;

    // The platform in use (the real one unless a test installed its own).
    static Platform& current();
    // Installs a platform (tests); nullptr puts the real one back.
    static void install(Platform* platform);
};

// Convenience wrappers over Platform::current().
void showMessage(QWidget* parent, const QString& text);
bool askYesNo(QWidget* parent, const QString& title, const QString& text);
QString chooseOpenFile(QWidget* parent, const QString& filter);
QString chooseSaveFile(QWidget* parent, const QString& filter, const QString& suggestedName);
void exitProcess(int code);

}  // namespace shop::app
