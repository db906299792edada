#include "platform.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QStandardPaths>
#include <atomic>
#include <cstdlib>

#include "dialog_look.h"
#include "placement.h"
#include "storage/table.h"
#include "thread_courier.h"

namespace shop::app {

namespace {

// Runs `f` on the user-interface thread and waits for it.
template <typename F>
void onUiThread(F&& f) {
    UiCourier::instance().call(std::forward<F>(f));
}

// Where a file dialog starts: a picture is looked for among the user's
// pictures, a file is saved among their documents (each the home folder when
// there is none), never in the working folder.
QString startFolder(QFileDialog::AcceptMode mode) {
    const auto kind = mode == QFileDialog::AcceptOpen ? QStandardPaths::PicturesLocation
                                                      : QStandardPaths::DocumentsLocation;
    const QString folder = QStandardPaths::writableLocation(kind);
    return !folder.isEmpty() && QDir(folder).exists() ? folder : QDir::homePath();
}

// A file chooser listing names only: the toolkit's detail view names file
// types ("Folder") and dates in English whatever the program's language.
QString runFileDialog(QWidget* parent, QFileDialog::AcceptMode mode, const QString& filter,
                      const QString& suggestedName) {
    const QString folder = startFolder(mode);
    const QString start = suggestedName.isEmpty() ? folder
                          : QDir::isAbsolutePath(suggestedName)
                              ? suggestedName
                              : QDir(folder).filePath(suggestedName);
    QFileDialog dialog(parent, QString(), start, filter);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    dialog.setViewMode(QFileDialog::List);
    dressDialog(&dialog, dialog.windowTitle());
    centreOnShow(&dialog, parent);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

class RealPlatform : public Platform {
public:
    void message(QWidget* parent, const QString& text) override {
        onUiThread([&] {
            // No title of its own: the box shows only the text and OK, under
            // the program's name.
            QMessageBox box(QMessageBox::NoIcon, QString(), text, QMessageBox::Ok, parent);
            dressDialog(&box);
            box.exec();
        });
    }

    bool askYesNo(QWidget* parent, const QString& title, const QString& text) override {
        bool yes = false;
        onUiThread([&] {
            // Every question guards a change that cannot be undone: Enter,
            // or a closed box, answers No.
            QMessageBox box(QMessageBox::Question, QString(), text,
                            QMessageBox::Yes | QMessageBox::No, parent);
            box.setDefaultButton(QMessageBox::No);
            dressDialog(&box, title);
            yes = box.exec() == QMessageBox::Yes;
        });
        return yes;
    }

    QString openFileName(QWidget* parent, const QString& filter) override {
        QString name;
        onUiThread([&] { name = runFileDialog(parent, QFileDialog::AcceptOpen, filter, {}); });
        return name;
    }

    QString saveFileName(QWidget* parent, const QString& filter,
                         const QString& suggestedName) override {
        QString name;
        onUiThread(
            [&] { name = runFileDialog(parent, QFileDialog::AcceptSave, filter, suggestedName); });
        return name;
    }

    void exitProcess(int code) override {
        // Every successful write is already durable; closing the tables only
        // releases the files before the process goes.
        storage::closeAll();
        std::_Exit(code);
    }
};

RealPlatform& realPlatform() {
    static RealPlatform real;
    return real;
}

std::atomic<Platform*> g_installed{nullptr};

}  // namespace

Platform& Platform::current() {
    Platform* p = g_installed.load();
    return p ? *p : realPlatform();
}

void Platform::install(Platform* platform) { g_installed.store(platform); }

void showMessage(QWidget* parent, const QString& text) {
    Platform::current().message(parent, text);
}
bool askYesNo(QWidget* parent, const QString& title, const QString& text) {
    return Platform::current().askYesNo(parent, title, text);
}
QString chooseOpenFile(QWidget* parent, const QString& filter) {
    return Platform::current().openFileName(parent, filter);
}
QString chooseSaveFile(QWidget* parent, const QString& filter, const QString& suggestedName) {
    return Platform::current().saveFileName(parent, filter, suggestedName);
}
void exitProcess(int code) { Platform::current().exitProcess(code); }

}  // namespace shop::app
