#include "session_end.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QSocketNotifier>
#ifndef QT_NO_SESSIONMANAGER
#include <QSessionManager>
#endif
#include <array>
#include <cerrno>

namespace shop::app {

namespace {

constexpr std::array<int, 3> kSignals = {SIGTERM, SIGHUP, SIGINT};

// A signal handler may do almost nothing: it writes the signal's number into
// a pipe, and the event loop reads it and leaves as a handler would.
int g_pipe[2] = {-1, -1};
struct sigaction g_previous[kSignals.size()];

void onSignal(int signo) {
    const int saved = errno;
    const char byte = static_cast<char>(signo);
    [[maybe_unused]] const ssize_t n = ::write(g_pipe[1], &byte, 1);
    errno = saved;
}

}  // namespace

SessionEnd::SessionEnd(QGuiApplication& app, std::function<void()> leave)
    : QObject(&app), m_leave(std::move(leave)) {
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) == 0) {
        m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, &SessionEnd::signalled);
        struct sigaction action {};
        action.sa_handler = onSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (std::size_t i = 0; i < kSignals.size(); ++i)
            sigaction(kSignals[i], &action, &g_previous[i]);
    }
#ifndef QT_NO_SESSIONMANAGER
    connect(&app, &QGuiApplication::commitDataRequest, this,
            [this](QSessionManager&) { m_leave(); });
#endif
    // Whatever else ends the event loop ends the run the same way.
    connect(&app, &QCoreApplication::aboutToQuit, this, [this] { m_leave(); });
}

SessionEnd::~SessionEnd() {
    if (g_pipe[0] < 0) return;
    for (std::size_t i = 0; i < kSignals.size(); ++i)
        sigaction(kSignals[i], &g_previous[i], nullptr);
    delete m_notifier;
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

void SessionEnd::signalled() {
    char bytes[16];
    while (::read(g_pipe[0], bytes, sizeof bytes) > 0) {
    }
    m_leave();
}

}  // namespace shop::app
