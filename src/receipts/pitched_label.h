// A caption label whose lines stand a fixed distance apart, so each line can
// sit level with the control or value beside it (edit boxes are taller than a
// line of text). The text stays the plain caption, one line per line break;
// a line wider than the label is shown shortened with "…".
#pragma once

#include <QLabel>

namespace shop::receipts {

class PitchedLabel : public QLabel {
public:
    explicit PitchedLabel(QWidget* parent = nullptr);

    // Distance from the top of one line to the top of the next, in pixels;
    // 0 uses the font's own line spacing. Also read from the dynamic
    // property "pitch" (set in the window layouts).
    int pitch() const;
    void setPitch(int pixels);

    // The box of line `index` in this label's coordinates.
    QRect lineRect(int index) const;

    // Spread: the blanks of each line stretch so that the line spans the
    // label's width (a column heading over columns wider than its words).
    // Also read from the dynamic property "spread".
    bool spread() const;
    void setSpread(bool on);
    // Where the character at `index` of line `line` is drawn, in pixels from
    // the label's left edge.
    int textX(int line, int index) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace shop::receipts
