// Carries work from a background thread to the user-interface thread: the
// program's one way to do so (message boxes asked for by a worker, the leave
// submission's look at its window).
//
// The hand-over goes through a queue guarded by a standard mutex, and the
// waiting thread sleeps on a standard condition variable; only a bare wake-up
// event crosses the toolkit's own event queue. Every piece of data therefore
// passes through synchronisation the thread checkers can see.
#pragma once

#include <QObject>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

class QThread;

namespace shop::app {

class UiCourier : public QObject {
public:
    // The one courier of the program, living on the application's thread
    // whichever thread asks for it first.
    static UiCourier& instance();

    // Runs `task` on the user-interface thread and returns when it has run.
    // On that thread itself the task runs at once.
    void call(std::function<void()> task);
    // Queues `task` for the user-interface thread and returns at once.
    void post(std::function<void()> task);

protected:
    bool event(QEvent* event) override;

private:
    struct Job {
        std::function<void()> task;
        bool done = false;
    };

    UiCourier();
    void enqueue(std::shared_ptr<Job> job);
    void runPending();

    QThread* const m_uiThread;
    std::mutex m_mutex;
    std::condition_variable m_done;
    std::deque<std::shared_ptr<Job>> m_queue;
};

}  // namespace shop::app
