// The common look of a window's top band, so that every window of the shop
// wears the same title bar: a blue band, a white title, and three small
// title-bar buttons at its right end (an inert one, a maximise one, close).
#pragma once

class QAbstractButton;
class QString;
class QLabel;
class QWidget;

namespace shop::app {

// Paints `band` (a picture box: QLabel or QFrame) as the title band and, when
// given, `title` as the white title text on it.
void styleTitleBand(QWidget* band, QLabel* title = nullptr);

// Gives the three 22 x 18 title-bar buttons their images, left to right:
// minimise-looking, maximise-looking and close. Any may be null.
void styleTitleButtons(QAbstractButton* left, QAbstractButton* middle, QAbstractButton* close);

// An action button of a form: the round image `:/img/<image>.svg` before the
// button's own caption, on a light raised face.
void styleActionButton(QAbstractButton* button, const QString& image);

}  // namespace shop::app
