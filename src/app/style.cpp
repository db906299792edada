#include "style.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>

namespace shop::app::style {

void apply(QApplication& app) {
    // A CJK font first, so that no Chinese text falls back to empty boxes.
    QFont font;
    font.setFamilies({QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC"),
                      QStringLiteral("Noto Sans SC"), QStringLiteral("sans-serif")});
    font.setPointSize(9);
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
        QTreeWidget, QListWidget, QLineEdit, QComboBox, QDateEdit, QPlainTextEdit {
            background: white; border: 1px solid #c5d0da; border-radius: 3px;
            selection-background-color: #2a77ad;
        }
        QHeaderView::section {
            background: #e4ebf2; color: #1f3b52; border: none; border-right: 1px solid #c5d0da;
            padding: 3px 6px; font-weight: bold;
        }
        QGroupBox { border: 1px solid #c5d0da; border-radius: 5px; margin-top: 10px; background: #ffffff; }
        QGroupBox::title { subcontrol-origin: margin; left: 10px; padding: 0 4px; color: #1f5f8b; font-weight: bold; }
        QStatusBar, QLabel[status="true"] { background: #e4ebf2; color: #1f3b52; }
    )"));
}

}  // namespace shop::app::style
