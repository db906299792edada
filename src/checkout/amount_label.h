// The total and the change in big type. A large or negative amount must
// still be read whole, so the type shrinks until the text fits the label
// instead of being cut at its edge.
#pragma once

#include <QLabel>

namespace shop::checkout {

class AmountLabel : public QLabel {
public:
    explicit AmountLabel(QWidget* parent = nullptr);

    // The font the text is drawn in: the label's own, or a smaller one when
    // the text would not fit its width.
    QFont drawnFont() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace shop::checkout
