#include "layout_check.h"

#include <QAbstractButton>
#include <QLabel>
#include <QWidget>

namespace shop::test {

namespace {

bool named(const QWidget* w) {
    const QString name = w->objectName();
    return !name.isEmpty() && !name.startsWith(QLatin1String("qt_"));
}

// Picture boxes and empty labels are backgrounds, bands and frames.
bool decoration(const QWidget* w) {
    if (w->objectName().startsWith(QStringLiteral("图片框"))) return true;
    const auto* label = qobject_cast<const QLabel*>(w);
    return label && label->text().isEmpty();
}

// What the cashier works with. Texts may be composed over one another (a
// caption block with its values laid over it), controls may not.
bool operable(const QWidget* w) { return !decoration(w) && !qobject_cast<const QLabel*>(w); }

// A label that lets the mouse through is drawn onto what lies below it, as a
// caption printed on a picture button.
bool blocks(const QWidget* w) { return !w->testAttribute(Qt::WA_TransparentForMouseEvents); }

// Whether `top` hides part of `below`, its sibling. A container (a tab
// control, a group) is hidden only where it holds a control: its empty
// margin may lie under the window's top band.
bool hides(const QWidget* top, const QWidget* below) {
    if (!top->geometry().intersects(below->geometry())) return false;
    bool holdsControls = false;
    for (const QWidget* inner : below->findChildren<QWidget*>()) {
        if (!named(inner) || decoration(inner) || !inner->isVisible()) continue;
        holdsControls = true;
        const QRect r(inner->mapTo(below, QPoint(0, 0)) + below->pos(), inner->size());
        if (top->geometry().intersects(r)) return true;
    }
    return !holdsControls;
}

QString describe(const QWidget* w) {
    const QRect r = w->geometry();
    return QStringLiteral("%1 (%2,%3 %4x%5)")
        .arg(w->objectName())
        .arg(r.x())
        .arg(r.y())
        .arg(r.width())
        .arg(r.height());
}

void check(const QWidget* parent, const QRect& screen, QStringList& problems) {
    QList<const QWidget*> shown;  // in stacking order, bottom first
    for (const QObject* o : parent->children()) {
        const auto* w = qobject_cast<const QWidget*>(o);
        if (!w || w->isWindow() || !w->isVisible()) continue;
        if (named(w))
            shown << w;
        else
            check(w, screen, problems);  // the inner parts of a tab or a scroll area
    }
    for (int i = 0; i < shown.size(); ++i) {
        const QWidget* w = shown[i];
        // Spare copies of buttons are parked wholly outside their container.
        const bool parked = !parent->rect().intersects(w->geometry());
        if (!decoration(w) && !parked) {
            const QRect global(w->mapToGlobal(QPoint(0, 0)), w->size());
            if (!screen.contains(global))
                problems << QStringLiteral("off the screen: %1").arg(describe(w));
            else if (!parent->rect().contains(w->geometry()))
                problems << QStringLiteral("cut by %1: %2").arg(parent->objectName(), describe(w));
            for (int j = i + 1; operable(w) && j < shown.size(); ++j) {
                // Anything above a control hides it; a control may lie on a
                // decoration below it.
                if (blocks(shown[j]) && hides(shown[j], w))
                    problems << QStringLiteral("%1 covers %2").arg(describe(shown[j]), describe(w));
            }
        }
        check(w, screen, problems);
    }
}

}  // namespace

QStringList layoutProblems(const QWidget& window, const QRect& screen) {
    QStringList problems;
    if (!screen.contains(window.frameGeometry()))
        problems << QStringLiteral("window off the screen: %1").arg(describe(&window));
    check(&window, screen, problems);
    return problems;
}

}  // namespace shop::test
