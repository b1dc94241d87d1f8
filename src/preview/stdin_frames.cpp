// SPDX-License-Identifier: MIT
#include "preview/stdin_frames.h"

#include <errno.h>
#include <unistd.h>

#include <cstdio>

namespace tessivane {

StdinFrames::StdinFrames(int fd, QObject* parent)
    : QObject(parent), fd_(fd), notifier_(fd, QSocketNotifier::Read) {
    connect(&notifier_, &QSocketNotifier::activated, this, &StdinFrames::readAvailable);
}

void StdinFrames::readAvailable() {
    char buffer[65536];
    const ssize_t count = ::read(fd_, buffer, sizeof buffer);
    if (count < 0 && (errno == EINTR || errno == EAGAIN))
        return;
    if (count <= 0) {
        notifier_.setEnabled(false);
        if (count < 0)
            std::perror("tessivane-preview: reading the frames");
        emit ended(count == 0 ? 0 : 1);
        return;
    }
    reader_.append(QByteArray(buffer, count));
    while (auto frame = reader_.next())
        emit frameReceived(frame->name, frame->payload);
    if (reader_.failed()) {
        notifier_.setEnabled(false);
        std::fputs("tessivane-preview: the editor sent a malformed frame\n", stderr);
        emit ended(1);
    }
}

}  // namespace tessivane
