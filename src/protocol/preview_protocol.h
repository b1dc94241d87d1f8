// SPDX-License-Identifier: MIT
#pragma once
// What the editor and its preview program say to each other, and what the preview's exit status
// means. The editor writes frames to the preview's standard input; the preview writes frames to
// its standard output. Each frame is a header line, "NAME LENGTH\n", NAME of lower-case letters
// and '-', LENGTH in decimal, followed by exactly LENGTH bytes of payload, so a payload may hold
// any bytes, line breaks and NULs included.
//
// Editor to preview, in this order:
//   "version"  kPreviewProtocolVersion in decimal; always the first frame. A preview that meets
//              another version, or another first frame, says so on standard error and exits with
//              PreviewExit::VersionMismatch.
//   "title"    the document's name, for the preview's caption (UTF-8)
//   "folder"   the folder the page should describe, an absolute path, until the user picks
//              another (UTF-8)
//   "document" the document's bytes as Save would write them now
// Frames with other names are ignored, so that later editors may add some.
//
// Preview to editor:
//   "shown"    (empty payload) a page is shown: the first one, or one for a newer document
//
// A reader that meets a malformed header stops for good: the stream cannot be trusted after it.
// The preview ends when its input ends, with one of the statuses below.
#include <QByteArray>
#include <optional>

namespace tessivane {

constexpr int kPreviewProtocolVersion = 1;

enum class PreviewExit : int {
    Closed = 0,           // the input ended, or the user closed the window
    BadInput = 1,         // a read error, a malformed frame, or input that ended inside a frame
    VersionMismatch = 2,  // the first frame was not this version
};

struct PreviewFrame {
    QByteArray name;
    QByteArray payload;
};

QByteArray encodePreviewFrame(const QByteArray& name, const QByteArray& payload = {});

class PreviewFrameReader {
public:
    // No payload is larger than this; a larger length is a malformed header.
    static constexpr qsizetype kMaxPayload = qsizetype(256) * 1024 * 1024;

    void append(const QByteArray& bytes);
    // The next complete frame, or nothing while one is still arriving or after a failure.
    std::optional<PreviewFrame> next();
    bool failed() const { return failed_; }
    // Part of a frame has arrived and the rest has not: at the end of the input, a cut-off frame.
    bool midFrame() const { return !buffer_.isEmpty(); }

private:
    QByteArray buffer_;
    bool failed_ = false;
};

}  // namespace tessivane
