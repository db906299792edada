#include "placement.h"

#include <QEvent>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace shop::app {

namespace {

// The start of a span of `length` centred on [lo, hi], kept inside
// [first, last]; the near edge wins when the span is longer than the room.
int centredSpan(int length, int lo, int hi, int first, int last) {
    const int centred = lo + (hi - lo + 1 - length) / 2;
    return std::max(first, std::min(centred, last - length + 1));
}

// Moves its window once, at the window's first showing.
class FirstShowPlacer : public QObject {
public:
    FirstShowPlacer(QWidget* window, QWidget* opener) : QObject(window), m_opener(opener) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Show) return false;
        auto* window = static_cast<QWidget*>(watched);
        const QWidget* over = m_opener ? m_opener->window() : window;
        if (const QScreen* screen = over->screen())
            window->move(centredOver(window->frameGeometry().size(), over->frameGeometry(),
                                     screen->availableGeometry()));
        deleteLater();
        window->removeEventFilter(this);
        return false;
    }

private:
    QPointer<QWidget> m_opener;
};

}  // namespace

void centreOnShow(QWidget* window, QWidget* opener) {
    window->installEventFilter(new FirstShowPlacer(window, opener));
}

QPoint centredOver(QSize size, const QRect& opener, const QRect& screen) {
    return {
        centredSpan(size.width(), opener.left(), opener.right(), screen.left(), screen.right()),
        centredSpan(size.height(), opener.top(), opener.bottom(), screen.top(), screen.bottom())};
}

}  // namespace shop::app
