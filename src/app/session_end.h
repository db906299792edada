// Leaving when the session ends rather than through the close button: a
// TERM, HUP or INT signal (logout, shutdown, a closed terminal, Ctrl+C) or
// the desktop session's request to save and quit. Each runs one callback, the
// program's exit recording, on the user-interface thread before the process
// ends.
#pragma once

#include <QObject>
#include <functional>

class QGuiApplication;
class QSocketNotifier;

namespace shop::app {

class SessionEnd : public QObject {
public:
    // Installs the signal handlers and connects to the application's session
    // signals; `leave` must end the process (or return under a test platform).
    SessionEnd(QGuiApplication& app, std::function<void()> leave);
    // Puts the previous signal handlers back.
    ~SessionEnd() override;

    SessionEnd(const SessionEnd&) = delete;
    SessionEnd& operator=(const SessionEnd&) = delete;

private:
    void signalled();

    std::function<void()> m_leave;
    QSocketNotifier* m_notifier = nullptr;
};

}  // namespace shop::app
