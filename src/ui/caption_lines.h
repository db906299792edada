// A static label that carries a column of captions, one per line, at a fixed
// pitch so that each caption stands level with the control beside it.
#pragma once

#include <QStringList>

class QLabel;

namespace shop::ui {

// Sets the captions as the label's text, one line every `pitch` pixels. The
// first line may be moved right by `firstIndent` pixels (a caption that
// belongs to a picture beside the column).
void setCaptionLines(QLabel* label, const QStringList& captions, int pitch, int firstIndent = 0);

}  // namespace shop::ui
