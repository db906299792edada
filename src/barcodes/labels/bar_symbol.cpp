#include "bar_symbol.h"

#include <zint.h>

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>

namespace shop::barcodes {

struct BarSymbol::Symbol {
    zint_symbol* zint = ZBarcode_Create();
    ~Symbol() {
        if (zint) ZBarcode_Delete(zint);
    }
};

BarSymbol::BarSymbol(const std::string& code) : m_symbol(std::make_unique<Symbol>()) {
    zint_symbol* s = m_symbol->zint;
    if (s == nullptr) {
        m_error = QStringLiteral("Zint: out of memory");
        return;
    }
    // The check digit comes with the code and Zint checks it.
    s->symbology = BARCODE_EANX_CHK;
    s->show_hrt = 1;
    const int encoded = ZBarcode_Encode(s, reinterpret_cast<const unsigned char*>(code.data()),
                                        static_cast<int>(code.size()));
    if (encoded >= ZINT_ERROR || ZBarcode_Buffer_Vector(s, 0) >= ZINT_ERROR ||
        s->vector == nullptr) {
        m_error = QString::fromUtf8(s->errtxt);
        return;
    }
    m_valid = true;
}

BarSymbol::~BarSymbol() = default;

double BarSymbol::aspect() const {
    if (!m_valid) return 1;
    const zint_vector* v = m_symbol->zint->vector;
    return v->height > 0 ? static_cast<double>(v->width) / static_cast<double>(v->height) : 1;
}

void BarSymbol::draw(QPainter& painter, const QRectF& box) const {
    if (!m_valid) return;
    const zint_vector* v = m_symbol->zint->vector;
    const qreal scale = std::min(box.width() / static_cast<qreal>(v->width),
                                 box.height() / static_cast<qreal>(v->height));
    const QPointF origin(box.center().x() - v->width * scale / 2,
                         box.center().y() - v->height * scale / 2);
    // Zint's units (one bar module) into the painter's, computed here rather
    // than by a painter scale, so that the digits get a real font size.
    const auto at = [&](qreal x, qreal y) { return origin + QPointF(x * scale, y * scale); };
    painter.save();
    painter.fillRect(QRectF(at(0, 0), QSizeF(v->width * scale, v->height * scale)), Qt::white);
    for (const zint_vector_rect* r = v->rectangles; r; r = r->next)
        painter.fillRect(QRectF(at(r->x, r->y), QSizeF(r->width * scale, r->height * scale)),
                         r->colour == 8 ? Qt::white : Qt::black);
    // The digits under the bars, at the places and sizes Zint gives; y is
    // the baseline, x the centre, start or end by the alignment.
    painter.setPen(Qt::black);
    for (const zint_vector_string* t = v->strings; t; t = t->next) {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(std::max(1, qRound(t->fsize * scale)));
        painter.setFont(font);
        const QString text = QString::fromUtf8(reinterpret_cast<const char*>(t->text), t->length);
        const qreal width = QFontMetricsF(font).horizontalAdvance(text);
        const QPointF base = at(t->x, t->y);
        const qreal left = t->halign == 1   ? base.x()
                           : t->halign == 2 ? base.x() - width
                                            : base.x() - width / 2;
        painter.drawText(QPointF(left, base.y()), text);
    }
    painter.restore();
}

}  // namespace shop::barcodes
