#include "drag_state.h"

#include <QMouseEvent>
#include <QWidget>
#include <cmath>
#include <map>

namespace shop::app {

DragState& dragState(const QString& key) {
    // A node-based map: references stay valid as handles are added, and the
    // states go with the program.
    static std::map<QString, DragState> states;
    return states[key];
}

QPoint dragStep(const DragState& state, QPoint windowPos, QPoint pointer) {
    // The differences are taken in floating point and brought back to pixels.
    const double ax = state.anchorX, ay = state.anchorY;
    const double x = pointer.x(), y = pointer.y();
    QPoint pos = windowPos;
    if (ax > x)
        pos.rx() = static_cast<int>(std::lround(pos.x() - (ax - x)));
    else if (ax < x)
        pos.rx() = static_cast<int>(std::lround(pos.x() + (x - ax)));
    else if (ay > y)
        pos.ry() = static_cast<int>(std::lround(pos.y() - (ay - y)));
    else if (ay < y)
        pos.ry() = static_cast<int>(std::lround(pos.y() + (y - ay)));
    return pos;
}

DragHandle::DragHandle(QWidget* handle, QWidget* window, DragState& state)
    : QObject(handle), m_window(window), m_state(state) {
    handle->setMouseTracking(true);  // moves arrive with or without a button
    handle->installEventFilter(this);
}

bool DragHandle::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseButtonPress: {
            auto* e = static_cast<QMouseEvent*>(event);
            if (e->button() == Qt::LeftButton) {
                const QPoint p = e->position().toPoint();
                m_state.anchorX = p.x();
                m_state.anchorY = p.y();
                m_state.flag = 1;
            }
            break;
        }
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) m_state.flag = 0;
            break;
        case QEvent::MouseMove:
            if (m_state.flag == 1)
                m_window->move(dragStep(m_state, m_window->pos(),
                                        static_cast<QMouseEvent*>(event)->position().toPoint()));
            break;
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace shop::app
