// SPDX-License-Identifier: MIT
#pragma once
// Reads the editor's frames (protocol/preview_protocol.h) from a file descriptor, standard input
// by default, without blocking the event loop: a socket notifier says when bytes are waiting and
// one read(2) takes them. It checks the version frame that opens the stream; what the other
// frames mean is left to the receiver of frameReceived.
#include <QObject>
#include <QSocketNotifier>

#include "protocol/preview_protocol.h"

namespace tessivane {

class StdinFrames : public QObject {
    Q_OBJECT
public:
    explicit StdinFrames(int fd = 0, QObject* parent = nullptr);

signals:
    void frameReceived(const QByteArray& name, const QByteArray& payload);
    // The stream ended; the code is a PreviewExit, the preview's exit status.
    void ended(int exitCode);

private slots:
    void readAvailable();

private:
    void stop(PreviewExit status);

    int fd_;
    QSocketNotifier notifier_;
    PreviewFrameReader reader_;
    bool versionChecked_ = false;
};

}  // namespace tessivane
