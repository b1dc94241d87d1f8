// SPDX-License-Identifier: MIT
#pragma once
// Ends a start-up benchmark once its window has been painted for the first time: the moment a
// person sees it. Both start-up programs end this way, so that they are timed to the same point.
#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QWidget>

// Watches the window for its first paint and ends the event loop as soon as that paint has been
// flushed to the screen. exit() rather than quit(): quit() would first close the window, and the
// main window would ask whether to save.
class ExitAfterFirstPaint : public QObject {
public:
    explicit ExitAfterFirstPaint(QWidget& window) : QObject(&window) {
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            QMetaObject::invokeMethod(
                QCoreApplication::instance(), [] { QCoreApplication::exit(0); },
                Qt::QueuedConnection);
        }
        return false;
    }
};
