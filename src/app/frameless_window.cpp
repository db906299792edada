#include "frameless_window.h"

#include <QAbstractButton>
#include <QIcon>
#include <QPointer>
#include <QPushButton>
#include <QScreen>

#include "drag_state.h"
#include "placement.h"

namespace shop::app {

FramelessWindow::FramelessWindow(QWidget* parent) : QDialog(parent) {
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_DeleteOnClose, false);  // the opener owns the window
}

void FramelessWindow::setDesignedGeometry(QSize size, QPoint pos) {
    setFixedSize(size);
    move(pos);
}

void FramelessWindow::addDragHandle(QWidget* handle, DragState& state) {
    new DragHandle(handle, this, state);
}

void FramelessWindow::setCloseButton(QAbstractButton* button, std::function<void()> onClose) {
    if (!onClose) onClose = [this] { done(0); };
    m_onClose = std::move(onClose);
    connect(button, &QAbstractButton::clicked, this, &FramelessWindow::reject);
}

void FramelessWindow::reject() {
    // A close handler that itself closes the window comes back here: that
    // second request only hides the window.
    if (!m_onClose || m_closing) {
        QDialog::reject();
        return;
    }
    QPointer<FramelessWindow> alive(this);
    m_closing = true;
    m_onClose();
    if (alive) m_closing = false;
}

void FramelessWindow::showEvent(QShowEvent* event) {
    if (!m_placed) {
        m_placed = true;
        QWidget* opener = m_opener ? m_opener.data() : parentWidget();
        const QWidget* over = opener ? opener->window() : this;
        if (const QScreen* screen = over->screen())
            move(centredOver(frameGeometry().size(),
                             over == this ? frameGeometry() : over->frameGeometry(),
                             screen->availableGeometry()));
    }
    QDialog::showEvent(event);
}

void stylePictureButton(QAbstractButton* button, const QString& image) {
    button->setIcon(QIcon(QStringLiteral(":/img/%1.svg").arg(image)));
    button->setIconSize(button->size());
    button->setCursor(Qt::PointingHandCursor);
    button->setFocusPolicy(Qt::NoFocus);
    button->setProperty("picture", true);  // the style sheet draws it flat
    if (auto* push = qobject_cast<QPushButton*>(button)) push->setFlat(true);
}

}  // namespace shop::app
