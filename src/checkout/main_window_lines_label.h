// A caption label whose lines stand on a fixed pitch, so that each line sits
// beside the input it names however tall the font is. Its text stays plain.
#pragma once

#include <QLabel>

namespace shop::checkout {

class LinesLabel : public QLabel {
public:
    explicit LinesLabel(QWidget* parent = nullptr);

    // Distance in pixels from the top of one line's row to the next.
    void setLinePitch(int pixels);
    int linePitch() const { return m_pitch; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_pitch = 30;
};

}  // namespace shop::checkout
