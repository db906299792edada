// The program's common look: font, colours and the style sheet every window
// shares.
#pragma once

#include <QColor>

class QApplication;

namespace shop::app::style {

inline const QColor kBand{0x1f, 0x5f, 0x8b};  // title bands
inline const QColor kBandDark{0x15, 0x46, 0x68};
inline const QColor kAccent{0xf0, 0x8a, 0x24};  // amounts, highlights
inline const QColor kPaper{0xf6, 0xf8, 0xfb};   // window background
inline const QColor kInk{0x22, 0x2b, 0x33};     // text

// Font and style sheet for the whole application.
void apply(QApplication& app);

}  // namespace shop::app::style
