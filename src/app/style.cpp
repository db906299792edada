#include "style.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>

#include "dialog_look.h"
#include "font_configuration.h"

namespace shop::app::style {

void apply(QApplication& app) {
    // Every window the window system shows, the toolkit's own dialogs
    // included, is named after the program instead of its file name.
    QApplication::setApplicationDisplayName(programName());
    useOwnFontConfiguration();
    // A CJK font first, so that no Chinese text falls back to empty boxes.
    QFont font;
    font.setFamilies({QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC"),
                      QStringLiteral("Noto Sans SC"), QStringLiteral("sans-serif")});
    font.setPointSize(9);
    font.setHintingPreference(QFont::PreferNoHinting);
    app.setFont(font);
    app.setStyleSheet(QStringLiteral(R"(
        QDialog, QWidget#main_window { background: #f6f8fb; color: #222b33; }
        QLabel[band="true"], QFrame[band="true"] {
            background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #2a77ad, stop:1 #1f5f8b);
            color: white;
        }
        QLabel[title="true"] { color: white; font-weight: bold; background: transparent; }
        QPushButton[picture="true"] { border: none; background: transparent; padding: 0; }
        QPushButton[picture="true"]:hover { background: rgba(255, 255, 255, 40); border-radius: 4px; }
        QPushButton[picture="true"]:pressed { background: rgba(0, 0, 0, 30); border-radius: 4px; }
        QTreeView, QListWidget, QLineEdit, QComboBox, QDateEdit, QPlainTextEdit {
            background: white; border: 1px solid #c5d0da; border-radius: 3px;
            selection-background-color: #2a77ad;
        }
        QComboBox { padding: 1px 4px; }
        QComboBox::drop-down { border: none; border-left: 1px solid #e1e8ef; width: 16px; }
        QComboBox::down-arrow { image: url(:/img/arrow-down.svg); width: 10px; height: 6px; }
        /* Date pickers: one look, whichever window opened the one they sit in. */
        QDateEdit { padding: 1px 4px; }
        QDateEdit::drop-down { border: none; border-left: 1px solid #e1e8ef; width: 16px; }
        QDateEdit::down-arrow { image: url(:/img/arrow-down.svg); width: 10px; height: 6px; }
        QCalendarWidget QWidget#qt_calendar_navigationbar { background: #1f5f8b; }
        QCalendarWidget QToolButton { color: white; background: transparent; border: none; padding: 2px 6px; }
        QCalendarWidget QToolButton:hover { background: rgba(255, 255, 255, 40); border-radius: 3px; }
        QCalendarWidget QSpinBox { color: #222b33; background: white; }
        QCalendarWidget QAbstractItemView {
            background: white; color: #222b33; selection-background-color: #2a77ad; selection-color: white;
        }
        QHeaderView::section {
            background: #e4ebf2; color: #1f3b52; border: none; border-right: 1px solid #c5d0da;
            padding: 3px 6px; font-weight: bold;
        }
        QGroupBox { border: 1px solid #c5d0da; border-radius: 5px; margin-top: 10px; background: #ffffff; }
        QGroupBox::title { subcontrol-origin: margin; left: 10px; padding: 0 4px; color: #1f5f8b; font-weight: bold; }
        QStatusBar, QLabel[status="true"] { background: #e4ebf2; color: #1f3b52; }
        QStatusBar::item { border: none; }

        /* Action buttons of the forms: round image before a caption. */
        QPushButton[action="true"] {
            background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #ffffff, stop:1 #edf2f7);
            border: 1px solid #b7c6d4; border-radius: 4px; padding: 1px 6px; color: #222b33;
        }
        QPushButton[action="true"]:hover { background: #e3eef8; border-color: #2a77ad; }
        QPushButton[action="true"]:pressed { background: #cfe0ef; }
        QPushButton[action="true"]:disabled { background: #f1f4f7; border-color: #d3dce4; color: #9aa7b3; }

        /* Texts on the title band. */
        QLabel[notice="true"] { color: #d8ebf8; background: transparent; text-decoration: underline; }
        QLabel[notice="true"]:hover { color: #ffd59e; }
        QLabel[navCaption="true"] { color: white; background: transparent; }

        /* Headings, amounts and panels of the forms. */
        QLabel[heading="true"] { color: #1f5f8b; background: transparent; }
        QLabel[amount="true"] { color: #d9731a; background: transparent; }
        QLabel[panel="amounts"] { background: #fff6ea; border: 1px solid #f3d2a8; border-radius: 6px; }
        QLabel[accent="true"] { background: #f08a24; border-radius: 1px; }
        QLabel[footer="true"] {
            background: qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #e4ebf2, stop:0.5 #f6f8fb, stop:1 #e4ebf2);
            color: #6b8296; border-top: 1px solid #c5d0da;
        }
        QGroupBox[panel="checkout"] {
            border: none; border-left: 1px solid #c5d0da; border-top: 1px solid #c5d0da;
            border-radius: 0; background: #ffffff; margin-top: 10px;
        }
        QTabWidget::pane { border: none; background: #f6f8fb; }
    )"));
}

}  // namespace shop::app::style
