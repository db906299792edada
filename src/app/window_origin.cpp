#include "window_origin.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>
#include <QWindow>

namespace shop::app {

namespace {

class OriginKeeper : public QObject {
public:
    explicit OriginKeeper(QWidget* window) : QObject(window), m_window(window) {
        window->installEventFilter(this);
        watchHandle();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_window) {
            // The native window exists from the first showing on.
            if (event->type() == QEvent::Show || event->type() == QEvent::WinIdChange)
                watchHandle();
            return false;
        }
        // Only a press: during a drag the window is being moved, and a motion
        // event may still be relative to where it stood before the last move.
        if (event->type() == QEvent::MouseButtonPress && m_window)
            correct(*static_cast<QWindow*>(watched), *static_cast<QMouseEvent*>(event));
        return false;
    }

private:
    void watchHandle() {
        QWindow* handle = m_window ? m_window->windowHandle() : nullptr;
        if (!handle || handle == m_handle) return;
        if (m_handle) m_handle->removeEventFilter(this);
        m_handle = handle;
        handle->installEventFilter(this);
    }

    void correct(const QWindow& handle, const QMouseEvent& press) {
        const QPoint trueOrigin = (press.globalPosition() - press.position()).toPoint();
        const QPoint off = trueOrigin - handle.mapToGlobal(QPoint(0, 0));
        // A pixel of rounding under a fractional scale is no stale belief.
        if (off.manhattanLength() <= 1) return;
        // Asking for the place it already has: the window system leaves it
        // there, and the toolkit now knows it.
        m_window->move(m_window->pos() + off);
    }

    QPointer<QWidget> m_window;
    QPointer<QWindow> m_handle;
};

}  // namespace

void keepTrueOrigin(QWidget* window) {
    const QString name = QStringLiteral("shop_origin_keeper");  // one per window
    if (!window || window->findChild<QObject*>(name, Qt::FindDirectChildrenOnly)) return;
    (new OriginKeeper(window))->setObjectName(name);
}

}  // namespace shop::app
