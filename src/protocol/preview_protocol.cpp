// SPDX-License-Identifier: MIT
#include "protocol/preview_protocol.h"

namespace tessivane {

namespace {
// A name and a decimal length with their separators never need more than this.
constexpr qsizetype kMaxHeader = 64;

bool isName(const QByteArray& name) {
    if (name.isEmpty()) {
        return false;
    }
    for (char c : name) {
        if (!(c >= 'a' && c <= 'z') && c != '-') {
            return false;
        }
    }
    return true;
}
}  // namespace

QByteArray encodePreviewFrame(const QByteArray& name, const QByteArray& payload) {
    return name + ' ' + QByteArray::number(payload.size()) + '\n' + payload;
}

void PreviewFrameReader::append(const QByteArray& bytes) {
    if (!failed_) {
        buffer_.append(bytes);
    }
}

std::optional<PreviewFrame> PreviewFrameReader::next() {
    if (failed_) {
        return std::nullopt;
    }
    const qsizetype newline = buffer_.indexOf('\n');
    if (newline < 0) {
        if (buffer_.size() > kMaxHeader) {
            failed_ = true;
            buffer_.clear();
        }
        return std::nullopt;
    }
    const QByteArray header = buffer_.left(newline);
    const qsizetype space = header.indexOf(' ');
    const QByteArray name = header.left(space);
    const QByteArray digits = header.mid(space + 1);
    bool ok = space > 0 && newline <= kMaxHeader && isName(name) && !digits.isEmpty();
    for (char c : digits) {
        ok = ok && c >= '0' && c <= '9';
    }
    const qsizetype length = ok ? digits.toLongLong(&ok) : -1;
    if (!ok || length > kMaxPayload) {
        failed_ = true;
        buffer_.clear();
        return std::nullopt;
    }
    if (buffer_.size() - newline - 1 < length) {
        return std::nullopt;
    }
    PreviewFrame frame{name, buffer_.mid(newline + 1, length)};
    buffer_.remove(0, newline + 1 + length);
    return frame;
}

}  // namespace tessivane
