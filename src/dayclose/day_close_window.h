// The 日结 window: the day at this till since its last close, the cash check
// the cashier types, and the confirming that stores the close and lets it be
// printed or saved as a PDF. It shows a DayCloseModel and forwards to it.
#pragma once

#include <QString>
#include <memory>
#include <optional>

#include "app/frameless_window.h"

class QComboBox;
#include "day_close_model.h"

namespace Ui {
class DayCloseWindow;
}

namespace shop::dayclose {

class DayCloseWindow : public app::FramelessWindow {
public:
    // The day of this run's folder, now; the cashier and the shop's name
    // from the receipt header.
    explicit DayCloseWindow(QWidget* parent = nullptr);
    ~DayCloseWindow() override;

    const DayCloseModel& model() const { return m_model; }

    // 图形按钮_确认日结: asks once (a close is never changed), then stores it.
    void confirmClose();
    // The last close stored (this one, or the day's last before it), on a
    // printer or into a PDF file.
    void printClose();
    void saveClosePdf();

    // 组合框_范围, offered when the till joined a shop server: 本机 is this
    // till's close; 全店 shows the whole shop's figures, read only.
    void scopeChosen(int index);

private:
    void showFigures();
    void showOwnFigures();  // the till's own day, the typed cash left alone
    void showTakings(const DayFigures& figures);
    void showShopFigures(const DayFigures& figures, int tills);
    void showCash();
    void cashTyped();
    void hint(const QString& text, bool warning);

    std::unique_ptr<Ui::DayCloseWindow> ui;
    DayCloseModel m_model;
    QString m_shopName;
    std::optional<CloseRecord> m_printable;
    QComboBox* m_scope = nullptr;
};

// Opens the window modally over `parent` (Navigation::dayClose).
void openDayClose(QWidget* parent);

}  // namespace shop::dayclose
