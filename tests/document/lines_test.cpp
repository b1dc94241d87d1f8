// SPDX-License-Identifier: MIT
// Lines and encodings: how a file's bytes become a working document and back.
#include <gtest/gtest.h>

#include "document/lines.h"
#include "document/text_encoding.h"
#include "document/working_document.h"

namespace tessivane {
namespace {

TEST(Lines, SplitAtEveryKindOfLineEndAndJoinWithCrLf) {
    using Lines = std::vector<std::string>;
    const std::pair<std::string, Lines> cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\rb\r", {"a", "b"}},
        {"a\r\nb\rc\nd", {"a", "b", "c", "d"}},
        {"\n\r", {"", ""}},  // LF then CR: two ends, not one
        {"a\r\r\nb", {"a", "", "b"}},
        {std::string("a\0b\r\nc", 6), {std::string("a\0b", 3), "c"}},
    };
    for (const auto& [bytes, lines] : cases) {
        EXPECT_EQ(splitLines(bytes), lines) << bytes;
    }
    const std::string crLf = "<!--\r\n* WZ.exe\r\n  trailing  \r\n\r\nlast\r\n";
    EXPECT_EQ(joinLines(splitLines(crLf)), crLf);
}

TEST(Encoding, Utf8IsValidatedStrictlyAndLatin1KeepsEveryByte) {
    EXPECT_TRUE(isValidUtf8("caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"));
    for (const char* invalid :
         {"caf\xE9", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE2\x82", "\x80"}) {
        EXPECT_FALSE(isValidUtf8(invalid)) << invalid;
    }
    std::string all;
    for (int b = 0; b < 256; ++b) {
        all += static_cast<char>(b);
    }
    EXPECT_EQ(encodeText(decodeText(all, TextEncoding::Latin1), TextEncoding::Latin1), all);
    EXPECT_EQ(encodeText("\xE2\x82\xAC", TextEncoding::Latin1), std::nullopt);  // euro sign
}

TEST(WorkingDocument, LegacyFileComesBackUnchangedAndRefusesWhatItCannotStore) {
    const std::string bytes = "<!--\r\n* WZ.exe\r\nCaf\xE9 \xA9 1998\r\n\x81\x9F\r\n";
    auto legacy = WorkingDocument::fromBytes(bytes);
    EXPECT_EQ(legacy.encoding(), TextEncoding::Latin1);
    EXPECT_EQ(legacy.text(2), "Caf\xC3\xA9 \xC2\xA9 1998");
    ASSERT_TRUE(legacy.replaceText(2, *legacy.text(2)));
    EXPECT_EQ(legacy.toBytes(), bytes);

    for (const char* text : {"\xE2\x82\xAC", "two\nlines", "two\rlines"}) {
        EXPECT_FALSE(legacy.replaceText(0, text)) << text;
    }
    EXPECT_FALSE(legacy.replaceText(5, "beyond the end"));
    EXPECT_EQ(legacy.toBytes(), bytes);

    auto modern = WorkingDocument::fromBytes("a\r\nb\r\n");
    EXPECT_TRUE(modern.replaceText(1, "\xE2\x82\xAC"));
    EXPECT_EQ(modern.toBytes(), "a\r\n\xE2\x82\xAC\r\n");
}

}  // namespace
}  // namespace tessivane
