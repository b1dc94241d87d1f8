// SPDX-License-Identifier: MIT
#pragma once
// Work that may block in the file system (a folder on a slow or dead mount) runs on a detached
// thread of its own: nothing ever waits for it, so neither the window nor the program's exit
// hangs on it. What it finds comes back to the application's thread through the event loop, and
// is dropped when the object it was for is gone by then.
#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <thread>
#include <type_traits>
#include <utility>

namespace tessivane {

// Calls deliver(receiver) on the application's thread, unless the receiver is gone by then.
template <class Receiver, class Deliver>
void postTo(const QPointer<Receiver>& receiver, Deliver deliver) {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) {
        return;
    }
    QMetaObject::invokeMethod(
        app,
        [receiver, deliver = std::move(deliver)] {
            if (receiver) {
                deliver(receiver.data());
            }
        },
        Qt::QueuedConnection);
}

// Runs work on a detached thread, which is left behind if it gets stuck, never waited for.
template <class Work>
void runDetached(Work work) {
    std::thread(std::move(work)).detach();
}

// Runs work on a detached thread and hands its result to then(result) on the application's
// thread, unless the receiver is gone by then.
template <class Work, class Then>
void inBackground(QObject* receiver, Work work, Then then) {
    runDetached([alive = QPointer<QObject>(receiver), work = std::move(work),
                 then = std::move(then)]() mutable {
        std::invoke_result_t<Work&> result = work();
        postTo(alive,
               [then = std::move(then), result = std::move(result)](QObject*) { then(result); });
    });
}

}  // namespace tessivane
