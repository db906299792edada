// The base of every window but the main one: a frameless dialog of a designed
// size, opened centred over the window that opened it, moved by its drag
// handles and closed by its close button. A window only declares its size,
// handles and close button.
#pragma once

#include <QDialog>
#include <QPointer>
#include <functional>

class QAbstractButton;
class QLabel;

namespace shop::app {

struct DragState;

// The parts of a window's top band, left to right.
struct TitleBar {
    QWidget* band = nullptr;  // the picture box that drags the window
    QLabel* title = nullptr;  // the heading lying on the band
    QAbstractButton* left = nullptr;
    QAbstractButton* middle = nullptr;
    QAbstractButton* close = nullptr;  // the rightmost button closes the window
};

// When a window's drag flag goes back to 0, besides the button release.
enum class DragReset { AtCreation, OnClose, Never };

class FramelessWindow : public QDialog {
public:
    explicit FramelessWindow(QWidget* parent = nullptr);

    // The window this one opens over, for a window opened without a parent;
    // by default the parent's window.
    void setOpener(QWidget* opener) { m_opener = opener; }

protected:
    // Fixes the designed size and places the window at `pos` (default (50, 50)),
    // where it opens when nothing opened it.
    void setDesignedGeometry(QSize size, QPoint pos = QPoint(50, 50));
    // Makes `handle` drag this window with the program-wide state of `key`.
    void addDragHandle(QWidget* handle, DragState& state);
    // `button` runs `onClose` (default: close and destroy the window).
    // Escape, and any other request to close the window, runs it too, so a
    // window always closes the one way its close button does.
    void setCloseButton(QAbstractButton* button, std::function<void()> onClose = {});
    // The whole top band at once: paints the band, its heading and its three
    // buttons; the band drags the window with the program-wide state of
    // `dragKey`, reset as `reset` says; presses on the heading belong to the
    // band; `bar.close` is the close button, running `onClose`.
    void setTitleBar(const TitleBar& bar, const QString& dragKey, DragReset reset,
                     std::function<void()> onClose = {});

    void reject() override;
    // The first showing centres the window over its opener, whole on the
    // opener's screen (or keeps it where it stands, moved onto its screen).
    void showEvent(QShowEvent* event) override;

    // From now on, text typed into any line edit of the window counts as
    // unsaved input, and Escape asks before it closes the window and loses
    // it. Call once the controls exist.
    void watchTypedInput();
    // Something else not yet stored (a chosen photo) counts as typed input.
    void noteUnsavedInput() { m_unsaved = true; }
    // What was typed is stored: Escape closes at once again.
    void inputStored() { m_unsaved = false; }
    bool hasUnsavedInput() const { return m_unsaved; }

    void keyPressEvent(QKeyEvent* event) override;

private:
    QPointer<QWidget> m_opener;
    bool m_placed = false;
    std::function<void()> m_onClose;
    bool m_closing = false;
    bool m_unsaved = false;
};

// The question Escape asks over unsaved input.
QString unsavedInputQuestion();

// Applies the program's look to a picture button: flat, the image from the
// resource `:/img/<image>.svg`, hand cursor.
void stylePictureButton(QAbstractButton* button, const QString& image);

}  // namespace shop::app
