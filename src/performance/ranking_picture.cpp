#include "ranking_picture.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

#include "app/style.h"
#include "ranking_model.h"

namespace shop::performance {

QImage rankingPicture(const SalesRanking& ranking, const QString& title, const QFont& font) {
    const int shown = std::min(static_cast<int>(ranking.goods.size()), kMostPicturedGoods);
    const int leftOut = static_cast<int>(ranking.goods.size()) - shown;
    const QFontMetrics metrics(font);
    const int pad = 8, lineHeight = metrics.height() + 6;

    // Each column as wide as its widest text.
    int widths[RankingModel::kColumns];
    for (int c = 0; c < RankingModel::kColumns; ++c) {
        widths[c] = metrics.horizontalAdvance(rankingCaption(c));
        for (int r = 0; r < shown; ++r)
            widths[c] = std::max(widths[c], metrics.horizontalAdvance(rankingCell(ranking, r, c)));
        widths[c] += 2 * pad;
    }
    int width = 0;
    for (int w : widths) width += w;
    width = std::max(width, metrics.horizontalAdvance(title) + 2 * pad);
    const int lines = 2 + shown + (leftOut > 0 ? 1 : 0);  // title, captions, goods, note

    QImage picture(width, lines * lineHeight + pad, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setFont(font);
    const auto row = [&](int line, const QColor& fill) {
        const QRect band(0, line * lineHeight, width, lineHeight);
        if (fill.isValid()) painter.fillRect(band, fill);
        return band;
    };
    QFont bold = font;
    bold.setBold(true);
    painter.setFont(bold);
    painter.setPen(app::style::kBand);
    painter.drawText(row(0, {}).adjusted(pad, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, title);
    painter.setFont(font);
    for (int line = 1; line <= shown + 1; ++line) {
        const QRect band = row(line, line == 1       ? QColor(0xe8, 0xee, 0xf3)
                                     : line % 2 == 1 ? QColor(0xf6, 0xf8, 0xfa)
                                                     : QColor());
        painter.setPen(QColor(0x22, 0x2b, 0x33));
        int x = 0;
        for (int c = 0; c < RankingModel::kColumns; ++c) {
            const QRect cell(x + pad, band.y(), widths[c] - 2 * pad, lineHeight);
            const QString text = line == 1 ? rankingCaption(c) : rankingCell(ranking, line - 2, c);
            const Qt::Alignment align =
                c == RankingModel::kName || line == 1 ? Qt::AlignLeft : Qt::AlignRight;
            painter.drawText(cell, align | Qt::AlignVCenter, text);
            x += widths[c];
        }
    }
    if (leftOut > 0)
        painter.drawText(row(lines - 1, {}).adjusted(pad, 0, 0, 0),
                         Qt::AlignLeft | Qt::AlignVCenter,
                         QStringLiteral("另有 %1 种商品未画出，见 CSV 导出").arg(leftOut));
    return picture;
}

}  // namespace shop::performance
