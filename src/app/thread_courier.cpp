#include "thread_courier.h"

#include <QCoreApplication>
#include <QEvent>
#include <QThread>

namespace shop::app {

namespace {
const QEvent::Type kWakeUp = static_cast<QEvent::Type>(QEvent::registerEventType());
}

namespace {
QThread* applicationThread() {
    const QCoreApplication* app = QCoreApplication::instance();
    return app ? app->thread() : QThread::currentThread();
}
}  // namespace

UiCourier::UiCourier() : m_uiThread(applicationThread()) {
    // Events for the courier must be handled where the windows live.
    if (thread() != m_uiThread) moveToThread(m_uiThread);
}

UiCourier& UiCourier::instance() {
    // Lives as long as the process: a worker may still hand work over while
    // the program winds down.
    static UiCourier* courier = new UiCourier;
    return *courier;
}

void UiCourier::call(std::function<void()> task) {
    if (QThread::currentThread() == m_uiThread) {
        task();
        return;
    }
    auto job = std::make_shared<Job>();
    job->task = std::move(task);
    enqueue(job);
    std::unique_lock lock(m_mutex);
    m_done.wait(lock, [&] { return job->done; });
}

void UiCourier::post(std::function<void()> task) {
    auto job = std::make_shared<Job>();
    job->task = std::move(task);
    enqueue(std::move(job));
}

void UiCourier::enqueue(std::shared_ptr<Job> job) {
    QEvent* wakeUp = nullptr;
    {
        // Made under the lock that event() takes before looking at it.
        std::lock_guard lock(m_mutex);
        m_queue.push_back(std::move(job));
        wakeUp = new QEvent(kWakeUp);
    }
    QCoreApplication::postEvent(this, wakeUp);
}

bool UiCourier::event(QEvent* event) {
    // Orders this thread after the one that made the event, whatever the
    // toolkit's own queue does, so the event is read only once it is whole.
    { std::lock_guard lock(m_mutex); }
    if (event->type() != kWakeUp) return QObject::event(event);
    runPending();
    return true;
}

void UiCourier::runPending() {
    // A task may open a nested event loop (a message box); jobs queued
    // meanwhile run inside it, each exactly once.
    for (;;) {
        std::shared_ptr<Job> job;
        {
            std::lock_guard lock(m_mutex);
            if (m_queue.empty()) return;
            job = std::move(m_queue.front());
            m_queue.pop_front();
        }
        job->task();
        std::function<void()> spent;
        {
            std::lock_guard lock(m_mutex);
            spent.swap(job->task);  // captured state dies on this thread
            job->done = true;
        }
        m_done.notify_all();
    }
}

}  // namespace shop::app
