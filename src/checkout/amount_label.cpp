#include "amount_label.h"

#include <QPainter>

namespace shop::checkout {

namespace {
constexpr qreal kSmallestPoints = 6.0;
}

AmountLabel::AmountLabel(QWidget* parent) : QLabel(parent) {}

QFont AmountLabel::drawnFont() const {
    QFont f = font();
    const int room = contentsRect().width() - 2 * margin();
    while (f.pointSizeF() > kSmallestPoints && QFontMetrics(f).horizontalAdvance(text()) > room)
        f.setPointSizeF(f.pointSizeF() - 0.5);
    return f;
}

void AmountLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setFont(drawnFont());
    painter.setPen(palette().color(foregroundRole()));
    painter.drawText(contentsRect().adjusted(margin(), margin(), -margin(), -margin()),
                     static_cast<int>(alignment()), text());
}

}  // namespace shop::checkout
