// SPDX-License-Identifier: MIT
// Lines and encodings, how a file's bytes become a working document and back; the numeric test,
// the corrections of the size and loop-count boxes, and the plain form a document stores.
#include <gtest/gtest.h>

#include "document/lines.h"
#include "document/numeric.h"
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

TEST(Numeric, AcceptsNumbersWithBlanksSignsFractionsAndExponents) {
    for (const char* text :
         {"0", " 12 ", "\t7", "+3", "-5", "12.5", ".5", "5.", "1E+3", "2.5e-1"}) {
        EXPECT_TRUE(isNumeric(text)) << text;
    }
    for (const char* text : {"", " ", "+", ".", "e3", "1e", "12pt", "1,5", "0x10", "1 2", "--1",
                             "inf", "\xEF\xBC\x91"}) {
        EXPECT_FALSE(isNumeric(text)) << text;
    }
}

// Each box's correction, as typed; a corrected text passes its correction again unchanged,
// because the box's handler runs once more on its own correction.
TEST(Numeric, CorrectionsOfSizesAndLoopCounts) {
    const struct {
        const char* typed;
        const char* info;   // fallback "8"
        const char* title;  // fallback "10"
        const char* loop;
    } cases[] = {
        {"", "8", "10", "1"},
        {"x", "8", "10", "1"},
        {"0", "1", "1", "1"},
        {"-5", "1", "1", "1"},
        {"0.5", "1", "1", "1"},
        {"2161", "2160", "2160", "2161"},
        {"1e999", "2160", "2160", "1e999"},
        {"12.5", "12.5", "12.5", "12.5"},
        {" 9 ", " 9 ", " 9 ", " 9 "},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(correctedSize(c.typed, kInfoSizeFallback), c.info) << c.typed;
        EXPECT_EQ(correctedSize(c.typed, kTitleSizeFallback), c.title) << c.typed;
        EXPECT_EQ(correctedLoopCount(c.typed), c.loop) << c.typed;
        EXPECT_EQ(correctedSize(c.info, kInfoSizeFallback), c.info) << c.typed;
        EXPECT_EQ(correctedLoopCount(c.loop), c.loop) << c.typed;
    }
}

// What a document stores: the plain decimal form, whole for a loop count; other texts unchanged.
TEST(Numeric, StoredPlainly) {
    const struct {
        const char* text;
        const char* plain;
        const char* whole;
    } cases[] = {
        {" 12", "12", "12"},
        {"+5", "5", "5"},
        {"12.", "12", "12"},
        {"1e1", "10", "10"},
        {"1.5E+2", "150", "150"},
        {"2.5e-1", "0.25", "0"},
        {".5", "0.5", "0"},
        {"12.50", "12.5", "12"},
        {"000123", "123", "123"},
        {"-0.0", "0", "0"},
        {"-2.5", "-2.5", "-2"},
        {"1e30", "1000000000000000000000000000000", "1000000000000000000000000000000"},
        {"abc", "abc", "abc"},
        {"1e99999", "1e99999", "1e99999"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(plainNumber(c.text), c.plain) << c.text;
        EXPECT_EQ(wholeNumber(c.text), c.whole) << c.text;
    }
}

TEST(WorkingDocument, MarkerLineIsTheWholeSecondLine) {
    const struct {
        std::string_view bytes;
        bool ours;
    } cases[] = {
        {"<!--\r\n* WZ.exe\r\n", true},
        {"<!--\n* WZ.exe", true},
        {"<!--\r* WZ.exe\r", true},
        {"* WZ.exe\r\n<!--\r\n", false},
        {"<!--\r\n* WZ.exe \r\n", false},
        {"<!--\r\n* wz.exe\r\n", false},
        {"* WZ.exe", false},
        {"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(hasMarkerLine(WorkingDocument::fromBytes(c.bytes)), c.ours) << c.bytes;
    }
}

}  // namespace
}  // namespace tessivane
