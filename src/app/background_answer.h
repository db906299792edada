// Work for a window that must not wait on it (a question to the shop server):
// done on a thread of its own, its answer handed to the window's thread by
// the courier, and dropped if the window is gone by then.
#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>
#include <thread>

#include "app/thread_courier.h"

namespace shop::app {

template <class Result>
void answerLater(QObject* receiver, std::function<Result()> work,
                 std::function<void(Result)> done) {
    UiCourier& courier = UiCourier::instance();  // made on this thread, the window's
    std::thread([&courier, guard = QPointer<QObject>(receiver), work = std::move(work),
                 done = std::move(done)]() mutable {
        auto result = std::make_shared<Result>(work());
        courier.post([guard = std::move(guard), done = std::move(done), result] {
            if (guard) done(std::move(*result));
        });
    }).detach();
}

}  // namespace shop::app
