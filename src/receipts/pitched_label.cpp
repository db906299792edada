#include "pitched_label.h"

#include <QPainter>
#include <QRegularExpression>
#include <QVariant>

namespace shop::receipts {

namespace {
QStringList linesOf(const QString& text) {
    static const QRegularExpression breaks(QStringLiteral("\r\n|\n|\r"));
    return text.split(breaks);
}
}  // namespace

PitchedLabel::PitchedLabel(QWidget* parent) : QLabel(parent) {}

int PitchedLabel::pitch() const {
    const int p = property("pitch").toInt();
    return p > 0 ? p : fontMetrics().lineSpacing();
}

void PitchedLabel::setPitch(int pixels) {
    setProperty("pitch", pixels);
    updateGeometry();
    update();
}

QRect PitchedLabel::lineRect(int index) const {
    return QRect(0, index * pitch(), width(), pitch());
}

bool PitchedLabel::spread() const { return property("spread").toBool(); }

void PitchedLabel::setSpread(bool on) {
    setProperty("spread", on);
    update();
}

namespace {
// How much wider than natural a spread line is drawn (1 when it does not
// spread or already fills the label).
qreal stretch(const PitchedLabel& label, const QString& line) {
    const int natural = label.fontMetrics().horizontalAdvance(line);
    if (!label.spread() || natural <= 0 || natural >= label.width()) return 1.0;
    return qreal(label.width() - 1) / qreal(natural);
}
}  // namespace

int PitchedLabel::textX(int line, int index) const {
    const QString text = linesOf(this->text()).value(line);
    return qRound(fontMetrics().horizontalAdvance(text.left(index)) * stretch(*this, text));
}

QSize PitchedLabel::sizeHint() const {
    int widest = 0;
    const QStringList lines = linesOf(text());
    for (const QString& line : lines)
        widest = std::max(widest, fontMetrics().horizontalAdvance(line));
    return QSize(widest, static_cast<int>(lines.size()) * pitch());
}

void PitchedLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    painter.setFont(font());
    const QStringList lines = linesOf(text());
    for (int i = 0; i < lines.size(); ++i) {
        const QString& line = lines[i];
        if (stretch(*this, line) == 1.0) {
            // A line too long for the label ends in "…" rather than being cut;
            // figures may stand right-aligned under their heading.
            const Qt::Alignment side =
                alignment() & Qt::AlignRight ? Qt::AlignRight : Qt::AlignLeft;
            painter.drawText(lineRect(i), side | Qt::AlignVCenter | Qt::TextSingleLine,
                             fontMetrics().elidedText(line, Qt::ElideRight, width()));
            continue;
        }
        // Spread: every run of non-blank characters at its stretched place.
        for (int start = 0; start < line.size();) {
            if (line[start] == QLatin1Char(' ')) {
                ++start;
                continue;
            }
            int end = start;
            while (end < line.size() && line[end] != QLatin1Char(' ')) ++end;
            const QRect box = lineRect(i).adjusted(textX(i, start), 0, 0, 0);
            painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                             line.mid(start, end - start));
            start = end;
        }
    }
}

}  // namespace shop::receipts
