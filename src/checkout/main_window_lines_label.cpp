#include "main_window_lines_label.h"

#include <QPainter>

namespace shop::checkout {

LinesLabel::LinesLabel(QWidget* parent) : QLabel(parent) {}

void LinesLabel::setLinePitch(int pixels) {
    m_pitch = pixels > 0 ? pixels : 1;
    update();
}

void LinesLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // The captions stand in a narrow column left of their inputs; set a
    // little tighter, the last character stays clear of the input.
    QFont tight = font();
    tight.setLetterSpacing(QFont::AbsoluteSpacing, -1);
    tight.setWordSpacing(-1);
    painter.setFont(tight);
    painter.setPen(palette().color(foregroundRole()));
    const QStringList lines = text().split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        const QRect row(0, i * m_pitch, width(), m_pitch);
        painter.drawText(row, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, lines[i]);
    }
}

}  // namespace shop::checkout
