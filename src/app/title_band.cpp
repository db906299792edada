#include "title_band.h"

#include <QAbstractButton>
#include <QIcon>
#include <QLabel>
#include <QVariant>

#include "frameless_window.h"

namespace shop::app {

void styleTitleBand(QWidget* band, QLabel* title) {
    if (band) {
        band->setProperty("band", true);
        band->setAttribute(Qt::WA_StyledBackground, true);
    }
    if (title) {
        title->setProperty("title", true);
        title->setAttribute(Qt::WA_TranslucentBackground, true);
    }
}

void styleTitleButtons(QAbstractButton* left, QAbstractButton* middle, QAbstractButton* close) {
    if (left) stylePictureButton(left, QStringLiteral("title-min"));
    if (middle) stylePictureButton(middle, QStringLiteral("title-max"));
    if (close) stylePictureButton(close, QStringLiteral("title-close"));
}

void styleActionButton(QAbstractButton* button, const QString& image) {
    button->setIcon(QIcon(QStringLiteral(":/img/%1.svg").arg(image)));
    button->setIconSize(QSize(18, 18));
    button->setCursor(Qt::PointingHandCursor);
    button->setProperty("action", true);
}

}  // namespace shop::app
