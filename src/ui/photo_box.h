// A picture box that shows an employee photo from its stored bytes.
#pragma once

#include <QByteArray>

class QLabel;

namespace shop::ui {

// Shows the bytes in the box, scaled to fit it with the aspect kept and
// centred. Bytes that are not a picture (or none) leave the box empty.
void showPhoto(QLabel* box, const QByteArray& bytes);

}  // namespace shop::ui
