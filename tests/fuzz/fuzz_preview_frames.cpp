// SPDX-License-Identifier: MIT
// Fuzz target: the input is the byte stream the preview reads from the editor, through
// PreviewFrameReader. Checked against a reading of the stream from the header's rules alone (a
// header line of at most 64 bytes, "NAME LENGTH", NAME of a-z and '-', LENGTH in decimal up to
// kMaxPayload; then LENGTH bytes): the reader gives the same frames whether the bytes arrive at
// once or in pieces of 1 to 64 bytes (the input picks their sizes), and ends the same way: cleanly,
// inside a frame, or failed at a malformed or oversized header, after which it takes and gives
// nothing more. The frames read, and one more carrying the whole input, written with
// encodePreviewFrame, read back the same. On a sample of inputs (sample.h) the stream also
// arrives a byte at a time.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "protocol/preview_protocol.h"
#include "sample.h"

namespace {

using tessivane::PreviewFrame;
using tessivane::PreviewFrameReader;

constexpr std::uint64_t kMaxPayload = PreviewFrameReader::kMaxPayload;

void check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "fuzz_preview_frames: %s\n", what);
        std::abort();
    }
}

enum class End { Clean, MidFrame, Failed };

struct Reading {
    std::vector<PreviewFrame> frames;
    End end = End::Clean;
};

bool operator==(const Reading& a, const Reading& b) {
    return a.end == b.end &&
           std::ranges::equal(a.frames, b.frames, [](const auto& x, const auto& y) {
               return x.name == y.name && x.payload == y.payload;
           });
}

// The stream read by the rules alone.
Reading expected(std::string_view bytes) {
    constexpr std::size_t kMaxHeader = 64;
    Reading reading;
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::size_t newline = bytes.find('\n', at);
        const std::size_t headerSize = (newline == bytes.npos ? bytes.size() : newline) - at;
        if (headerSize > kMaxHeader) {
            reading.end = End::Failed;
            return reading;
        }
        if (newline == bytes.npos) {
            reading.end = End::MidFrame;
            return reading;
        }
        const std::string_view header = bytes.substr(at, headerSize);
        const std::size_t space = header.find(' ');
        const std::string_view name = header.substr(0, space);
        const std::string_view digits =
            space == header.npos ? std::string_view() : header.substr(space + 1);
        bool ok = !name.empty() && !digits.empty();
        for (const char c : name) {
            ok = ok && ((c >= 'a' && c <= 'z') || c == '-');
        }
        std::uint64_t length = 0;
        for (const char c : digits) {
            ok = ok && c >= '0' && c <= '9' && length <= kMaxPayload;
            length = ok ? length * 10 + std::uint64_t(c - '0') : 0;
        }
        if (!ok || length > kMaxPayload) {
            reading.end = End::Failed;
            return reading;
        }
        if (bytes.size() - newline - 1 < length) {
            reading.end = End::MidFrame;
            return reading;
        }
        reading.frames.push_back({QByteArray(name.data(), qsizetype(name.size())),
                                  QByteArray(bytes.data() + newline + 1, qsizetype(length))});
        at = newline + 1 + length;
    }
    return reading;
}

// The reader's frames and its end, the bytes appended `every` bytes at a time, or (0) in pieces of
// 1 to 64 bytes as the byte that starts each says; after each piece every complete frame is
// taken, as the preview does.
Reading read(std::string_view bytes, std::size_t every) {
    PreviewFrameReader reader;
    Reading reading;
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t piece = every ? every : 1 + static_cast<unsigned char>(bytes[at]) % 64;
        const std::size_t size = std::min(piece, bytes.size() - at);
        reader.append(QByteArray(bytes.data() + at, qsizetype(size)));
        at += size;
        while (auto frame = reader.next()) {
            reading.frames.push_back(std::move(*frame));
        }
    }
    reading.end = reader.failed() ? End::Failed : reader.midFrame() ? End::MidFrame : End::Clean;
    check(!reader.failed() || !reader.midFrame(), "a failed reader holds part of a frame");
    if (reader.failed()) {
        reader.append("version 1\n1");
        check(!reader.next() && reader.failed() && !reader.midFrame(), "a failed reader read on");
    }
    return reading;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const Reading model = expected(bytes);
    check(read(bytes, bytes.size()) == model,
          "the stream at once reads otherwise than the rules say");
    check(read(bytes, 0) == model, "the stream in pieces reads otherwise");
    if (tessivane::fuzz::sampled(bytes)) {
        check(read(bytes, 1) == model, "the stream byte by byte reads otherwise");
    }

    Reading written{model.frames, End::Clean};
    written.frames.push_back({"document", QByteArray(bytes.data(), qsizetype(bytes.size()))});
    QByteArray stream;
    for (const PreviewFrame& frame : written.frames) {
        stream += tessivane::encodePreviewFrame(frame.name, frame.payload);
    }
    const std::string_view streamBytes(stream.constData(), std::size_t(stream.size()));
    check(read(streamBytes, 0) == written, "written frames read back otherwise");
    return 0;
}
