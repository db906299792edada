#include "receipt_print.h"

#include <QBuffer>
#include <QByteArray>
#include <QFont>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <cmath>

#include "storage/file_replace.h"

namespace shop::receipts {

namespace {

// Everything is laid out in points (1/72 inch) and scaled to the device.
constexpr qreal kWidth = 80.0 / 25.4 * 72.0;  // an 80 mm till roll
constexpr qreal kMargin = 10;
constexpr qreal kLine = 14;       // one line of body text
constexpr qreal kGoodsLine = 18;  // goods lines stand a little apart, as on screen
constexpr qreal kTitle = 26;
constexpr qreal kRule = 8;
// Share of the width for 品名, 数量, 金额 and 小计.
constexpr qreal kColumns[] = {0.40, 0.14, 0.22, 0.24};

QFont receiptFont(int size, bool mono = false, bool bold = false) {
    QFont f;
    f.setFamilies(
        mono ? QStringList{QStringLiteral("WenQuanYi Micro Hei Mono"),
                           QStringLiteral("WenQuanYi Micro Hei")}
             : QStringList{QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("sans-serif")});
    // Pixel sizes follow the painter's scale, so a size is in points here.
    f.setPixelSize(size);
    f.setBold(bold);
    return f;
}

// The figures (unit price, line amount) stand right-aligned, as on screen.
Qt::Alignment columnAlignment(int column) { return column >= 2 ? Qt::AlignRight : Qt::AlignLeft; }

qreal headHeight() { return kMargin + kTitle + kRule + 2 * kLine + kRule + kLine + kRule; }
int footLines(const ReceiptContent& r) { return 4 + static_cast<int>(r.paymentCaptions.size()); }
qreal footHeight(const ReceiptContent& r) { return kRule + footLines(r) * kLine + kMargin; }

class Painter {
public:
    Painter(QPainter& p) : m_p(p) {}

    void text(qreal x, qreal width, const QString& s, const QFont& font,
              Qt::Alignment align = Qt::AlignLeft) {
        m_p.setFont(font);
        const QString shown = QFontMetricsF(font).elidedText(s, Qt::ElideRight, width);
        m_p.drawText(QRectF(x, y, width, kLine), align | Qt::AlignVCenter, shown);
    }
    // A caption and its value right after it on the current line.
    void captioned(qreal x, qreal width, const QString& caption, const QString& value,
                   const QFont& valueFont) {
        const QFont body = receiptFont(9);
        text(x, width, caption, body);
        const qreal w = QFontMetricsF(body).horizontalAdvance(caption);
        text(x + w, width - w, value, valueFont);
    }
    void rule() {
        QPen pen(QColor(0x55, 0x55, 0x55), 0.6, Qt::DashLine);
        m_p.setPen(pen);
        m_p.drawLine(QPointF(kMargin, y + kRule / 2), QPointF(kWidth - kMargin, y + kRule / 2));
        m_p.setPen(Qt::black);
        y += kRule;
    }

    qreal y = kMargin;

private:
    QPainter& m_p;
};

void drawHead(Painter& out, const ReceiptContent& r) {
    const qreal inner = kWidth - 2 * kMargin;
    out.text(kMargin, inner, r.shopName, receiptFont(16, false, true), Qt::AlignHCenter);
    out.y += kTitle;
    out.rule();
    out.captioned(kMargin, inner * 0.6, QStringLiteral("收银员；"), r.cashier, receiptFont(9));
    out.captioned(kMargin + inner * 0.6, inner * 0.4, QStringLiteral("机号；"), r.machine,
                  receiptFont(9));
    out.y += kLine;
    out.captioned(kMargin, inner, QStringLiteral("时间；"), r.time, receiptFont(9));
    out.y += kLine;
    out.rule();
    const QString heading[] = {QStringLiteral("品名"), QStringLiteral("数量"),
                               QStringLiteral("金额"), QStringLiteral("小计")};
    qreal x = kMargin;
    for (int i = 0; i < 4; ++i) {
        out.text(x, inner * kColumns[i] - 2, heading[i], receiptFont(9, false, true),
                 columnAlignment(i));
        x += inner * kColumns[i];
    }
    out.y += kLine;
    out.rule();
}

void drawGoodsLine(Painter& out, const ReceiptContent& r, int line) {
    const qreal inner = kWidth - 2 * kMargin;
    const auto cell = [line](const QStringList& column) {
        return line < column.size() ? column[line] : QString();
    };
    const QString cells[] = {cell(r.names), cell(r.quantities), cell(r.prices), cell(r.amounts)};
    qreal x = kMargin;
    for (int i = 0; i < 4; ++i) {
        out.text(x, inner * kColumns[i] - 2, cells[i], receiptFont(9, true), columnAlignment(i));
        x += inner * kColumns[i];
    }
    out.y += kGoodsLine;
}

void drawFoot(Painter& out, const ReceiptContent& r) {
    out.rule();
    const qreal inner = kWidth - 2 * kMargin;
    QStringList captions{QStringLiteral("超市名称；"), QStringLiteral("消费地址；"),
                         QStringLiteral("消费金额；"), QStringLiteral("找零钱；")};
    QStringList values{r.footerShop, r.address, r.total, r.change};
    captions += r.paymentCaptions;
    values += r.paymentValues;
    const QFont body = receiptFont(9);
    qreal valueX = 0;
    for (const QString& c : captions)
        valueX = std::max(valueX, QFontMetricsF(body).horizontalAdvance(c));
    for (int i = 0; i < captions.size(); ++i) {
        // Amounts stand out in the figures' font, as on screen.
        const bool figure = captions[i].contains(QStringLiteral("金额")) ||
                            captions[i] == QStringLiteral("找零钱；");
        out.text(kMargin, inner, captions[i], body);
        out.text(kMargin + valueX, inner - valueX, values.value(i), receiptFont(9, figure, figure));
        out.y += kLine;
    }
}

int goodsLines(const ReceiptContent& r) {
    return static_cast<int>(
        std::max({r.names.size(), r.quantities.size(), r.prices.size(), r.amounts.size()}));
}

}  // namespace

bool renderReceipt(QPagedPaintDevice& device, const ReceiptContent& receipt) {
    QPainter painter;
    if (!painter.begin(&device)) return false;
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(device.logicalDpiX() / 72.0, device.logicalDpiY() / 72.0);
    // Half a point of slack: the page's height in device pixels is rounded.
    const qreal pageHeight = device.height() * 72.0 / device.logicalDpiY() + 0.5;

    Painter out(painter);
    drawHead(out, receipt);
    for (int line = 0; line < goodsLines(receipt); ++line) {
        // A long list goes on over as many pages as it needs; the total and
        // change follow the last line.
        if (out.y + kGoodsLine > pageHeight - kMargin) {
            if (!device.newPage()) return false;
            out.y = kMargin;
        }
        drawGoodsLine(out, receipt, line);
    }
    if (out.y + footHeight(receipt) > pageHeight) {
        if (!device.newPage()) return false;
        out.y = kMargin;
    }
    drawFoot(out, receipt);
    return painter.end();
}

bool writeReceiptPdf(const QString& path, const ReceiptContent& receipt) {
    const qreal heightPt = headHeight() + goodsLines(receipt) * kGoodsLine + footHeight(receipt);
    // Made in memory and put in place whole, as the exports are: a link at
    // the chosen name is replaced rather than followed.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly)) return false;
    QPdfWriter pdf(&buffer);
    pdf.setTitle(QStringLiteral("账单 %1").arg(receipt.time));
    pdf.setCreator(QStringLiteral("澄屿店铺管理系统"));
    pdf.setPageSize(QPageSize(QSizeF(kWidth, std::ceil(heightPt)), QPageSize::Point, QString(),
                              QPageSize::ExactMatch));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    return renderReceipt(pdf, receipt) &&
           storage::replaceFile(path.toStdString(), bytes.toStdString());
}

}  // namespace shop::receipts
