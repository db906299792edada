#include "employee_look.h"

#include <QString>
#include <QWidget>

namespace shop::employees {

void applyEmployeeLook(QWidget* window) {
    // Colours are the program's own (band blue, paper, rule grey).
    window->setStyleSheet(QStringLiteral(R"(
        QLabel[heading="true"] { color: #1f5f8b; font-weight: bold; font-size: 10pt; background: transparent; }
        QLabel[caption="true"] { color: #3c4c5a; background: transparent; }
        QLabel[value="true"] { color: #222b33; background: transparent; border-bottom: 1px solid #e1e8ef; }
        QLabel[photo="true"] { background: #ffffff; border: 1px solid #c5d0da; border-radius: 3px; }
        QLabel[card="true"] { background: #eef3f8; border: 1px solid #d5dee7; border-radius: 6px; }
        QLabel[sidebar="true"] { background: #e4ebf2; border-right: 1px solid #c5d0da; }
        QLabel[navLabel="true"] { color: #1f3b52; background: transparent; }
        QDateEdit { padding: 1px 4px; }
        QDateEdit::drop-down { border: none; border-left: 1px solid #e1e8ef; width: 16px; }
        QDateEdit::down-arrow { image: url(:/img/arrow-down.svg); width: 10px; height: 6px; }
    )"));
}

}  // namespace shop::employees
