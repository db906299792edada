// The employee directory: every employee by name in a tree, the full record
// of the one chosen, and the way to the entry, leave and salary windows.
// Opened modally:  DirectoryWindow w(parent); if (!w.failedToOpen()) w.exec();
#pragma once

#include <QList>
#include <QPointer>
#include <memory>
#include <optional>
#include <string>

#include "app/frameless_window.h"

class QMenu;
class QTreeWidgetItem;

namespace Ui {
class DirectoryWindow;
}

namespace shop::employees {

struct EmployeeRecord;

class DirectoryWindow : public app::FramelessWindow {
    Q_OBJECT

public:
    explicit DirectoryWindow(QWidget* parent = nullptr);
    ~DirectoryWindow() override;

    // The employee table could not be opened: the owner was told and the
    // window must not be shown.
    bool failedToOpen() const { return m_failed; }

    // The pop-up menu "设置" of the tree (shown at a right click).
    QMenu* menu() const { return m_menu; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fillTree();
    void refreshTree();  // a new employee was saved
    void showItem(QTreeWidgetItem* item);
    void showRecord(const EmployeeRecord& record);
    void clearDetails();
    void popUpMenu(QPoint globalPos);
    void clearRemembered();
    void openEntryModal();
    void openEntryNonModal();
    void openLeave();
    void openSalary();
    void keepShown(QWidget* window);

    std::unique_ptr<Ui::DirectoryWindow> ui;
    QMenu* m_menu = nullptr;
    // The tree item current at the last right click, by its text; nullopt when
    // it was no employee (none current, or the root).
    std::optional<std::string> m_remembered;
    // Non-modal windows opened from here; they outlive the directory.
    QList<QPointer<QWidget>> m_shown;
    bool m_failed = false;
};

}  // namespace shop::employees
