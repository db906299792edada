#include "photo_box.h"

#include <QLabel>
#include <QPixmap>

namespace shop::ui {

void showPhoto(QLabel* box, const QByteArray& bytes) {
    QPixmap picture;
    if (bytes.isEmpty() || !picture.loadFromData(bytes)) {
        box->clear();
        return;
    }
    box->setAlignment(Qt::AlignCenter);
    box->setPixmap(
        picture.scaled(box->contentsRect().size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

}  // namespace shop::ui
