#include "frameless_window.h"

#include <QAbstractButton>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>

#include "drag_state.h"
#include "placement.h"
#include "platform.h"
#include "title_band.h"
#include "window_origin.h"

namespace shop::app {

FramelessWindow::FramelessWindow(QWidget* parent) : QDialog(parent) {
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_DeleteOnClose, false);  // the opener owns the window
    keepTrueOrigin(this);
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

void FramelessWindow::setTitleBar(const TitleBar& bar, const QString& dragKey, DragReset reset,
                                  std::function<void()> onClose) {
    DragState& drag = dragState(dragKey);
    // A drag left half-done in an earlier opening must not move this one.
    if (reset == DragReset::AtCreation) drag.reset();
    addDragHandle(bar.band, drag);
    styleTitleBand(bar.band, bar.title);
    if (bar.title) bar.title->setAttribute(Qt::WA_TransparentForMouseEvents);
    styleTitleButtons(bar.left, bar.middle, bar.close);
    if (reset == DragReset::OnClose) {
        if (!onClose) onClose = [this] { done(0); };
        onClose = [&drag, next = std::move(onClose)] {
            drag.reset();
            next();
        };
    }
    setCloseButton(bar.close, std::move(onClose));
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

void FramelessWindow::watchTypedInput() {
    for (QLineEdit* edit : findChildren<QLineEdit*>())
        connect(edit, &QLineEdit::textEdited, this, [this] { m_unsaved = true; });
}

QString unsavedInputQuestion() {
    return QStringLiteral("输入的内容还没有保存，关闭窗口将丢失这些内容。确定关闭吗？");
}

void FramelessWindow::keyPressEvent(QKeyEvent* event) {
    if (!event->matches(QKeySequence::Cancel)) {
        QDialog::keyPressEvent(event);
        return;
    }
    event->accept();
    // A held key repeats: only a fresh press closes, so the Escape that
    // closed one window never goes on to close the one beneath it.
    if (event->isAutoRepeat()) return;
    if (m_unsaved && !askYesNo(this, QStringLiteral("关闭提示信息"), unsavedInputQuestion()))
        return;
    reject();
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
