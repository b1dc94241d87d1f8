// SPDX-License-Identifier: MIT
// The preview protocol's frame reader, fed as a pipe feeds it: in pieces of any size.
#include <gtest/gtest.h>

#include <QByteArrayList>

#include "protocol/preview_protocol.h"

namespace tessivane {
namespace {

TEST(PreviewFrameReaderTest, ReadsWholeFramesAndStopsAtTheFirstFault) {
    const QByteArray two =
        encodePreviewFrame("title", "a\nb") + encodePreviewFrame("document", QByteArray("x\0y", 3));
    const QByteArray garbage = encodePreviewFrame("title", "t") + "bad\n" + two;
    struct Case {
        const char* what;
        QByteArrayList pieces;
        QByteArrayList frames;  // "name=payload"
        bool failed, midFrame;
    };
    const Case cases[] = {
        {"whole", {two}, {"title=a\nb", "document=" + QByteArray("x\0y", 3)}, false, false},
        {"a header split across reads",
         {"tit", "le 3", "\na", "\nb"},
         {"title=a\nb"},
         false,
         false},
        {"an empty payload", {"shown 0\n"}, {"shown="}, false, false},
        {"end of input inside the payload", {"title 9\nabc"}, {}, false, true},
        {"end of input inside the header", {"title 9"}, {}, false, true},
        {"an oversize length", {"document 268435457\n"}, {}, true, false},
        {"more length digits than fit", {"document 99999999999999999999999\n"}, {}, true, false},
        {"a bad name", {"Title 1\na"}, {}, true, false},
        {"a name with a space", {"ti tle 1\na"}, {}, true, false},
        {"no length", {"title \n"}, {}, true, false},
        {"a negative length", {"title -1\n"}, {}, true, false},
        {"a header that never ends", {QByteArray(100, 'a')}, {}, true, false},
        {"good frames, then garbage", {garbage}, {"title=t"}, true, false},
    };
    for (const Case& c : cases) {
        PreviewFrameReader reader;
        QByteArrayList frames;
        for (const QByteArray& piece : c.pieces) {
            reader.append(piece);
            while (auto frame = reader.next())
                frames << frame->name + '=' + frame->payload;
        }
        EXPECT_EQ(frames, c.frames) << c.what;
        EXPECT_EQ(reader.failed(), c.failed) << c.what;
        EXPECT_EQ(reader.midFrame(), c.midFrame) << c.what;
    }
}

}  // namespace
}  // namespace tessivane
