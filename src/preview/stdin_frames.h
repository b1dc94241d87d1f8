// SPDX-License-Identifier: MIT
#pragma once
// Reads the editor's frames (controls/preview_frames.h) from a file descriptor, standard input
// by default, without blocking the event loop: a socket notifier says when bytes are waiting and
// one read(2) takes them. What the frames mean is left to the receiver of frameReceived.
#include <QObject>
#include <QSocketNotifier>

#include "controls/preview_frames.h"

namespace tessivane {

class StdinFrames : public QObject {
    Q_OBJECT
public:
    explicit StdinFrames(int fd = 0, QObject* parent = nullptr);

signals:
    void frameReceived(const QByteArray& name, const QByteArray& payload);
    // The stream ended: 0 at end of file, 1 after a read error or a malformed frame.
    void ended(int exitCode);

private slots:
    void readAvailable();

private:
    int fd_;
    QSocketNotifier notifier_;
    PreviewFrameReader reader_;
};

}  // namespace tessivane
