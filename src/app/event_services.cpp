#include "event_services.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <thread>

namespace shop::app {

void pumpMessages() {
    // Posted events first (they include deferred deletes and queued calls),
    // then everything the window system delivered, without waiting.
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

QStringList listFolder(const QString& folder, const QString& pattern) {
    QStringList names;
    // "*.*" means every file, names without a dot included.
    const QString glob = pattern == "*.*" ? QStringLiteral("*") : pattern;
    QDirIterator it(folder, {glob}, QDir::Files | QDir::Hidden | QDir::System);
    while (it.hasNext()) {
        it.next();
        names << it.fileName();
        pumpMessages();
    }
    return names;
}

void startBackground(std::function<void()> routine) { std::thread(std::move(routine)).detach(); }

}  // namespace shop::app
