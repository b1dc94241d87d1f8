// SPDX-License-Identifier: MIT
// How a file's bytes become a working document and back, and the marker line of a page.
#include <gtest/gtest.h>

#include "document/text_encoding.h"
#include "document/working_document.h"

namespace tessivane {
namespace {

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
