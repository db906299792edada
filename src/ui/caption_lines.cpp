#include "caption_lines.h"

#include <QLabel>

namespace shop::ui {

void setCaptionLines(QLabel* label, const QStringList& captions, int pitch, int firstIndent) {
    QString html;
    for (qsizetype i = 0; i < captions.size(); ++i) {
        const int indent = i == 0 ? firstIndent : 0;
        html += QStringLiteral("<p style=\"margin:0; margin-left:%1px; line-height:%2px;\">%3</p>")
                    .arg(indent)
                    .arg(pitch)
                    .arg(captions[i].toHtmlEscaped());
    }
    label->setTextFormat(Qt::RichText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(false);
    label->setText(html);
}

}  // namespace shop::ui
