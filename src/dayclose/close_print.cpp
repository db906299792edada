#include "close_print.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <cmath>
#include <functional>

#include "close_sheet.h"
#include "storage/file_replace.h"

namespace shop::dayclose {

namespace {

// Laid out in points (1/72 inch) on an 80 mm roll, scaled to the device.
constexpr qreal kWidth = 80.0 / 25.4 * 72.0;
constexpr qreal kMargin = 10;
constexpr qreal kInner = kWidth - 2 * kMargin;
constexpr qreal kLine = 15;
constexpr qreal kTitle = 24;
constexpr qreal kGap = 8;
constexpr qreal kCaption = 0.34;  // share of the width before a value
constexpr qreal kColumns[] = {0.25, 0.25, 0.25, 0.25};

QFont slipFont(int size, bool bold = false) {
    QFont f;
    f.setFamilies({QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("sans-serif")});
    f.setPixelSize(size);  // the painter's scale makes these points
    f.setBold(bold);
    return f;
}

QString q(const std::string& text) { return QString::fromStdString(text); }

// The lines of the slip, each with its height; the same list measures the
// page and draws it.
struct Slip {
    struct Line {
        qreal height;
        std::function<void(QPainter&, qreal y)> draw;
    };
    std::vector<Line> lines;

    qreal height() const {
        qreal h = 2 * kMargin;
        for (const Line& l : lines) h += l.height;
        return h;
    }
    void add(qreal height, std::function<void(QPainter&, qreal)> draw) {
        lines.push_back({height, std::move(draw)});
    }
    void text(const QString& s, const QFont& font, Qt::Alignment align, qreal height = kLine) {
        add(height, [=](QPainter& p, qreal y) {
            p.setFont(font);
            p.drawText(QRectF(kMargin, y, kInner, height), align | Qt::AlignVCenter, s);
        });
    }
    void rule() {
        add(kGap, [](QPainter& p, qreal y) {
            p.setPen(QPen(QColor(0x55, 0x55, 0x55), 0.6, Qt::DashLine));
            p.drawLine(QPointF(kMargin, y + kGap / 2), QPointF(kWidth - kMargin, y + kGap / 2));
            p.setPen(Qt::black);
        });
    }
    // A caption and its value beside it; a long value wraps onto more lines.
    void captioned(const std::string& caption, const std::string& value) {
        const QFont font = slipFont(9);
        const QString shown = q(value);
        const qreal valueWidth = kInner * (1 - kCaption);
        const QRectF need = QFontMetricsF(font).boundingRect(
            QRectF(0, 0, valueWidth, 1000), Qt::TextWordWrap | Qt::TextWrapAnywhere, shown);
        const qreal height = std::max(kLine, std::ceil(need.height()) + 2);
        add(height, [=](QPainter& p, qreal y) {
            p.setFont(font);
            p.drawText(QRectF(kMargin, y, kInner * kCaption, kLine), Qt::AlignVCenter,
                       q(caption) + QStringLiteral("；"));
            p.drawText(QRectF(kMargin + kInner * kCaption, y, valueWidth, height),
                       Qt::AlignTop | Qt::TextWordWrap | Qt::TextWrapAnywhere, shown);
        });
    }
    void row(const TakingsRow& cells, bool bold) {
        add(kLine, [=](QPainter& p, qreal y) {
            p.setFont(slipFont(9, bold));
            qreal x = kMargin;
            for (std::size_t i = 0; i < cells.size(); ++i) {
                const Qt::Alignment align = i == 0 ? Qt::AlignLeft : Qt::AlignRight;
                p.drawText(QRectF(x, y, kInner * kColumns[i] - 2, kLine), align | Qt::AlignVCenter,
                           q(cells[i]));
                x += kInner * kColumns[i];
            }
        });
    }
};

Slip slipOf(const CloseRecord& record, const QString& shopName) {
    Slip slip;
    if (!shopName.isEmpty()) slip.text(shopName, slipFont(14, true), Qt::AlignHCenter, kTitle);
    slip.text(QStringLiteral("日结单"), slipFont(12, true), Qt::AlignHCenter, kTitle);
    slip.rule();
    for (const auto& [caption, value] : closeHead(record)) slip.captioned(caption, value);
    slip.rule();
    slip.row({"收款方式", "收入", "退款", "净额"}, true);
    const auto rows = takingsRows(record.figures);
    for (std::size_t i = 0; i < rows.size(); ++i) slip.row(rows[i], i + 1 == rows.size());
    slip.rule();
    for (const auto& [caption, value] : closeFoot(record)) slip.captioned(caption, value);
    return slip;
}

}  // namespace

bool renderClose(QPagedPaintDevice& device, const CloseRecord& record, const QString& shopName) {
    QPainter painter;
    if (!painter.begin(&device)) return false;
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(device.logicalDpiX() / 72.0, device.logicalDpiY() / 72.0);
    // Half a point of slack: the page's height in device pixels is rounded.
    const qreal pageHeight = device.height() * 72.0 / device.logicalDpiY() + 0.5;
    qreal y = kMargin;
    for (const Slip::Line& line : slipOf(record, shopName).lines) {
        if (y + line.height > pageHeight - kMargin && y > kMargin) {
            if (!device.newPage()) return false;
            y = kMargin;
        }
        line.draw(painter, y);
        y += line.height;
    }
    return painter.end();
}

bool writeClosePdf(const QString& path, const CloseRecord& record, const QString& shopName) {
    const qreal height = slipOf(record, shopName).height();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly)) return false;
    QPdfWriter pdf(&buffer);
    pdf.setTitle(QStringLiteral("日结单 %1").arg(q(record.moment)));
    pdf.setCreator(QStringLiteral("澄屿店铺管理系统"));
    pdf.setPageSize(QPageSize(QSizeF(kWidth, std::ceil(height)), QPageSize::Point, QString(),
                              QPageSize::ExactMatch));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    return renderClose(pdf, record, shopName) &&
           storage::replaceFile(path.toStdString(), bytes.toStdString());
}

}  // namespace shop::dayclose
