// SPDX-License-Identifier: MIT
#include "preview/stdin_frames.h"

#include <unistd.h>
#include <cerrno>

#include <cstdio>

namespace tessivane {

StdinFrames::StdinFrames(int fd, QObject* parent)
    : QObject(parent), fd_(fd), notifier_(fd, QSocketNotifier::Read) {
    connect(&notifier_, &QSocketNotifier::activated, this, &StdinFrames::readAvailable);
}

void StdinFrames::readAvailable() {
    char buffer[65536];
    const ssize_t count = ::read(fd_, buffer, sizeof buffer);
    if (count < 0 && (errno == EINTR || errno == EAGAIN)) {
        return;
    }
    if (count < 0) {
        std::perror("tessivane-preview: reading the frames");
        stop(PreviewExit::BadInput);
        return;
    }
    if (count == 0) {
        if (reader_.midFrame()) {
            std::fputs("tessivane-preview: the input ended inside a frame\n", stderr);
            stop(PreviewExit::BadInput);
        } else {
            stop(PreviewExit::Closed);
        }
        return;
    }
    reader_.append(QByteArray(buffer, count));
    while (auto frame = reader_.next()) {
        if (!versionChecked_) {
            const QByteArray expected = QByteArray::number(kPreviewProtocolVersion);
            if (frame->name != "version" || frame->payload != expected) {
                std::fprintf(stderr,
                             "tessivane-preview: the editor speaks another version of the "
                             "preview protocol (this preview speaks version %d)\n",
                             kPreviewProtocolVersion);
                stop(PreviewExit::VersionMismatch);
                return;
            }
            versionChecked_ = true;
            continue;
        }
        emit frameReceived(frame->name, frame->payload);
    }
    if (reader_.failed()) {
        std::fputs("tessivane-preview: the editor sent a malformed frame\n", stderr);
        stop(PreviewExit::BadInput);
    }
}

void StdinFrames::stop(PreviewExit status) {
    notifier_.setEnabled(false);
    emit ended(static_cast<int>(status));
}

}  // namespace tessivane
