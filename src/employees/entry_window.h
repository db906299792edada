// The employee entry form: seventeen text items, the date of joining and an
// optional photo, appended as one record to the employee table. The table is
// held open from creation until the form closes.
//   Modal:     EntryWindow w(parent); if (!w.failedToOpen()) w.exec();
//   Non-modal: see DirectoryWindow, which owns the window it shows.
#pragma once

#include <QByteArray>
#include <array>
#include <memory>
#include <string>

#include "app/frameless_window.h"
#include "employee_form.h"

namespace Ui {
class EntryWindow;
}

namespace shop::storage {
class TableVisit;
}

namespace shop::employees {

struct EmployeeRecord;

class EntryWindow : public app::FramelessWindow {
    Q_OBJECT

public:
    explicit EntryWindow(QWidget* parent = nullptr);
    ~EntryWindow() override;

    // The employee table could not be opened: the owner was told and the
    // window must not be shown.
    bool failedToOpen() const { return m_failed; }

    // The photo bytes the next save stores (empty: no photo).
    const QByteArray& photo() const { return m_photo; }

    // The file chooser's filter: the picture kinds a photo may be.
    static QString photoFilter();

Q_SIGNALS:
    // A new employee record is in the table.
    void employeeSaved();

private:
    void choosePhoto();
    void save();
    void saveChecked();
    void reset();
    void closeWindow();

    std::array<std::string, kFormItemCount> itemTexts() const;
    EmployeeRecord record() const;
    QString textOf(const char* control) const;

    std::unique_ptr<Ui::EntryWindow> ui;
    QByteArray m_photo;
    // The employee table, open while the form is (shared with other forms).
    std::shared_ptr<storage::TableVisit> m_table;
    bool m_failed = false;
};

}  // namespace shop::employees
