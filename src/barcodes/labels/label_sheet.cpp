#include "label_sheet.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <memory>

#include "bar_symbol.h"
#include "storage/file_replace.h"

namespace shop::barcodes {

namespace {

// Laid out in points (1/72 inch), scaled to the device.
constexpr qreal kPtPerMm = 72.0 / 25.4;
constexpr qreal kLabelWidth = 70 * kPtPerMm;
constexpr qreal kLabelHeight = 37 * kPtPerMm;
constexpr qreal kPad = 3 * kPtPerMm;

QFont labelFont(int size, bool bold) {
    QFont f;
    f.setFamilies({QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("sans-serif")});
    f.setPixelSize(size);  // in points here: the painter scales to the device
    f.setBold(bold);
    return f;
}

// One label in the rectangle `r` (points): the name on top, the price
// beside it, the symbol under them.
void drawLabel(QPainter& p, const QRectF& r, const ShelfLabel& label, const BarSymbol& symbol) {
    const QRectF inner = r.adjusted(kPad, kPad, -kPad, -kPad);
    const QFont nameFont = labelFont(12, true);
    const QFont priceFont = labelFont(14, true);
    const qreal priceWidth = QFontMetricsF(priceFont).horizontalAdvance(label.price) + 4;
    const qreal lineHeight = 18;
    p.setPen(Qt::black);
    p.setFont(nameFont);
    const QRectF nameBox(inner.left(), inner.top(), inner.width() - priceWidth, lineHeight);
    p.drawText(nameBox, Qt::AlignLeft | Qt::AlignVCenter,
               QFontMetricsF(nameFont).elidedText(label.name, Qt::ElideRight, nameBox.width()));
    p.setFont(priceFont);
    p.drawText(QRectF(inner.right() - priceWidth, inner.top(), priceWidth, lineHeight),
               Qt::AlignRight | Qt::AlignVCenter, label.price);
    symbol.draw(p, QRectF(inner.left(), inner.top() + lineHeight + 2, inner.width(),
                          inner.height() - lineHeight - 2));
}

}  // namespace

bool renderLabelSheet(QPagedPaintDevice& device, const std::vector<ShelfLabel>& labels,
                      QString* problem) {
    std::vector<std::unique_ptr<BarSymbol>> symbols;
    for (const ShelfLabel& label : labels) {
        symbols.push_back(std::make_unique<BarSymbol>(label.code));
        if (!symbols.back()->valid()) {
            if (problem)
                *problem = QStringLiteral("商品“%1”的条码 %2 无法生成条形码：%3")
                               .arg(label.name, QString::fromStdString(label.code),
                                    symbols.back()->error());
            return false;
        }
    }
    QPainter p;
    if (!p.begin(&device)) {
        if (problem) *problem = QStringLiteral("无法输出标签");
        return false;
    }
    p.setRenderHint(QPainter::Antialiasing, false);  // bar edges stay sharp
    const qreal dpi = device.logicalDpiX();
    p.scale(dpi / 72.0, device.logicalDpiY() / 72.0);
    const std::size_t perPage = kLabelColumns * kLabelRows;
    for (std::size_t i = 0; i < labels.size(); ++i) {
        if (i > 0 && i % perPage == 0 && !device.newPage()) {
            if (problem) *problem = QStringLiteral("无法输出标签");
            return false;
        }
        const std::size_t onPage = i % perPage;
        const QRectF cell(static_cast<qreal>(onPage % kLabelColumns) * kLabelWidth,
                          static_cast<qreal>(onPage / kLabelColumns) * kLabelHeight, kLabelWidth,
                          kLabelHeight);
        drawLabel(p, cell, labels[i], *symbols[i]);
    }
    return p.end();
}

bool writeLabelPdf(const QString& path, const std::vector<ShelfLabel>& labels, QString* problem) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly)) return false;
    {
        QPdfWriter pdf(&buffer);
        pdf.setTitle(QStringLiteral("商品标签"));
        pdf.setCreator(QStringLiteral("澄屿店铺管理系统"));
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        if (!renderLabelSheet(pdf, labels, problem)) return false;
    }
    if (storage::replaceFile(path.toStdString(), bytes.toStdString())) return true;
    if (problem) *problem = QStringLiteral("无法保存文件 %1").arg(path);
    return false;
}

QImage labelImage(const ShelfLabel& label, int dotsPerMm) {
    QImage image(qRound(70.0 * dotsPerMm), qRound(37.0 * dotsPerMm), QImage::Format_RGB32);
    image.fill(Qt::white);
    const BarSymbol symbol(label.code);
    QPainter p(&image);
    const qreal perPt = dotsPerMm / kPtPerMm;
    p.scale(perPt, perPt);
    drawLabel(p, QRectF(0, 0, kLabelWidth, kLabelHeight), label, symbol);
    return image;
}

}  // namespace shop::barcodes
