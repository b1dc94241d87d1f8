// SPDX-License-Identifier: MIT
// Lines and encodings: how a file's bytes become a working document and back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "document/lines.h"
#include "document/text_encoding.h"
#include "document/working_document.h"

namespace tessivane {
namespace {

using Lines = std::vector<std::string>;

TEST(Lines, SplitsAtEveryKindOfLineEnd) {
    const struct {
        std::string bytes;
        Lines lines;
    } cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\n", {"a"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\rb\r", {"a", "b"}},
        {"a\nb\n", {"a", "b"}},
        {"a\r\nb\rc\nd", {"a", "b", "c", "d"}},
        {"\r\n\r\n", {"", ""}},
        {"\n\r", {"", ""}},  // LF then CR: two ends, not one
        {"a\r\r\nb", {"a", "", "b"}},
        {std::string("a\0b\r\nc", 6), {std::string("a\0b", 3), "c"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(splitLines(c.bytes), c.lines) << "bytes: " << c.bytes;
    }
}

TEST(Lines, JoinEndsEveryLineWithCrLf) {
    EXPECT_EQ(joinLines({}), "");
    EXPECT_EQ(joinLines({""}), "\r\n");
    EXPECT_EQ(joinLines({"a", "", "  "}), "a\r\n\r\n  \r\n");
}

TEST(Lines, CrLfFilesRoundTripByteForByte) {
    const std::string bytes = "<!--\r\n* WZ.exe\r\n  trailing  \r\n\r\nlast\r\n";
    EXPECT_EQ(joinLines(splitLines(bytes)), bytes);
}

TEST(Encoding, ValidatesUtf8Strictly) {
    EXPECT_TRUE(isValidUtf8("plain"));
    EXPECT_TRUE(isValidUtf8("caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"));
    EXPECT_FALSE(isValidUtf8("caf\xE9"));           // Latin-1 e acute
    EXPECT_FALSE(isValidUtf8("\xC0\xAF"));          // overlong "/"
    EXPECT_FALSE(isValidUtf8("\xED\xA0\x80"));      // surrogate
    EXPECT_FALSE(isValidUtf8("\xF4\x90\x80\x80"));  // above U+10FFFF
    EXPECT_FALSE(isValidUtf8("\xE2\x82"));          // cut short
    EXPECT_FALSE(isValidUtf8("\x80"));              // stray continuation
}

TEST(Encoding, Latin1RoundTripsEveryByte) {
    std::string all;
    for (int b = 0; b < 256; ++b) {
        all += static_cast<char>(b);
    }
    const std::string text = decodeText(all, TextEncoding::Latin1);
    EXPECT_TRUE(isValidUtf8(text));
    EXPECT_EQ(encodeText(text, TextEncoding::Latin1), all);
    EXPECT_EQ(encodeText("\xE2\x82\xAC", TextEncoding::Latin1), std::nullopt);  // euro sign
}

TEST(WorkingDocument, LegacyFileComesBackUnchanged) {
    const std::string bytes = "<!--\r\n* WZ.exe\r\nCaf\xE9 \xA9 1998\r\n\x81\x9F\r\n";
    const auto document = WorkingDocument::fromBytes(bytes);
    EXPECT_EQ(document.encoding(), TextEncoding::Latin1);
    EXPECT_EQ(document.toBytes(), bytes);
    EXPECT_EQ(document.text(2), "Caf\xC3\xA9 \xC2\xA9 1998");

    // A text taken out and put back unchanged gives the same bytes.
    auto copy = document;
    ASSERT_TRUE(copy.replaceText(2, *document.text(2)));
    EXPECT_EQ(copy.toBytes(), bytes);
}

TEST(WorkingDocument, RefusesTextsItCannotStoreAndChangesNothing) {
    auto legacy = WorkingDocument::fromBytes("a\r\n\xE9\r\n");
    const auto before = legacy;
    EXPECT_FALSE(legacy.replaceText(0, "\xE2\x82\xAC"));  // no euro sign in Latin-1
    EXPECT_FALSE(legacy.replaceText(0, "two\nlines"));
    EXPECT_FALSE(legacy.replaceText(0, "two\rlines"));
    EXPECT_FALSE(legacy.replaceText(5, "beyond the end"));
    EXPECT_EQ(legacy, before);

    auto modern = WorkingDocument::fromBytes("a\r\nb\r\n");
    EXPECT_TRUE(modern.replaceText(1, "\xE2\x82\xAC"));
    EXPECT_EQ(modern.toBytes(), "a\r\n\xE2\x82\xAC\r\n");
}

TEST(WorkingDocument, HundredThousandLinesLoadAndSaveWhole) {
    std::string bytes;
    for (int i = 0; i < 100000; ++i) {
        bytes += "line " + std::to_string(i) + "\r\n";
    }
    const auto document = WorkingDocument::fromBytes(bytes);
    EXPECT_EQ(document.size(), 100000u);
    EXPECT_EQ(document.line(99999), "line 99999");
    EXPECT_EQ(document.toBytes(), bytes);
}

}  // namespace
}  // namespace tessivane
