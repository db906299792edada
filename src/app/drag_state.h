// Dragging a borderless window by one of its handles. Every handle has its
// own drag state, program-wide, zero at start and kept across openings of
// its window.
#pragma once

#include <QObject>
#include <QPoint>

class QWidget;

namespace shop::app {

struct DragState {
    int flag = 0;
    int anchorX = 0;
    int anchorY = 0;
    void reset() { flag = 0; }
};

// The program-wide state of one handle, by a key such as "main/图片框1".
DragState& dragState(const QString& key);

// One follow step: where the window's top-left goes when the pointer moved to
// (x, y) in the handle's coordinates. A horizontal difference wins; the
// vertical position moves only when the pointer is level with the anchor.
QPoint dragStep(const DragState& state, QPoint windowPos, QPoint pointer);

// Makes `handle` move `window`: left press starts, left release ends, every
// pointer move follows while the flag is set.
class DragHandle : public QObject {
public:
    DragHandle(QWidget* handle, QWidget* window, DragState& state);
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_window;
    DragState& m_state;
};

}  // namespace shop::app
