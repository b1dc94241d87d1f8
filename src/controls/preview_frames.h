// SPDX-License-Identifier: MIT
#pragma once
// The messages the editor sends to its preview program over a pipe. Each frame is a header line,
// "NAME LENGTH\n", followed by exactly LENGTH bytes of payload, so a payload may hold any bytes,
// line breaks and NULs included. The editor sends:
//   "title"    the document's name, for the preview's caption (UTF-8)
//   "folder"   the folder the page should describe, until the user picks another (UTF-8)
//   "document" the document's bytes as Save would write them now
// A reader that meets a malformed header stops for good: the stream cannot be trusted after it.
#include <QByteArray>
#include <optional>

namespace tessivane {

struct PreviewFrame {
    QByteArray name;
    QByteArray payload;
};

QByteArray encodePreviewFrame(const QByteArray& name, const QByteArray& payload);

class PreviewFrameReader {
public:
    // No payload is larger than this; a larger length is a malformed header.
    static constexpr qsizetype kMaxPayload = 256 * 1024 * 1024;

    void append(const QByteArray& bytes);
    // The next complete frame, or nothing while one is still arriving or after a failure.
    std::optional<PreviewFrame> next();
    bool failed() const { return failed_; }

private:
    QByteArray buffer_;
    bool failed_ = false;
};

}  // namespace tessivane
