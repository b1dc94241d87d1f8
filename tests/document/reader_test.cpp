// SPDX-License-Identifier: MIT
// The reader: each line's parser on the forms the writer and the template produce and on
// hand-made variants. Where reading stops, and the round trip from settings to document and back,
// are fuzz_document's checks, replayed over its corpus (the round-trip-*.bin inputs) by ctest.
#include <gtest/gtest.h>

#include <vector>

#include "document/line_map.h"
#include "document/reader.h"
#include "document/template.h"
#include "document/working_document.h"

namespace tessivane {
namespace {

using Opt = std::optional<std::string>;

TEST(ReaderFontLine, Fields) {
    const struct {
        const char* line;
        Opt info, title, face;
    } cases[] = {
        {"body  {font: 8pt/10pt verdana; margin: 0}", "8", "10", "verdana"},
        {"body  {font: 12pt/18pt Times New Roman; margin: 0}", "12", "18", "Times New Roman"},
        {"body  {font: 9pt/11pt Sans/Serif Mono; margin: 0}", "9", "11", "Sans/Serif Mono"},
        {"body  {font: 12pt/18pt; margin: 0}", "12", "18", std::nullopt},
        {"body  {font: 12pt/18pt ; margin: 0}", "12", "18", ""},
        {"body  {font: ; margin: 0}", std::nullopt, std::nullopt, std::nullopt},
        {"", std::nullopt, std::nullopt, std::nullopt},
        {"/ /", "", "", "/"},
    };
    for (const auto& c : cases) {
        const FontFields fields = parseFontLine(c.line);
        EXPECT_EQ(fields.infoSize, c.info) << c.line;
        EXPECT_EQ(fields.titleSize, c.title) << c.line;
        EXPECT_EQ(fields.face, c.face) << c.line;
    }
}

// The other lines: their constant pieces removed, the sound line cut at its quotes.
TEST(ReaderOtherLines, RemovalsAndCuts) {
    const std::pair<std::string, std::string> colours[] = {
        {"{font-weight: bold; color: black}", "black"},
        {"{font-weight: bold; color: gray}", "Grey"},
        {"{font-weight: bold; color: Gray}", "Gray"},
    };
    for (const auto& [line, colour] : colours) {
        EXPECT_EQ(parseColourLine(line), colour);
    }
    EXPECT_EQ(
        parsePanelLine("<div id=Panel style=\"background: white URL(file://c:\\Nothing.gif)\">"),
        "c:\\Nothing.gif");
    EXPECT_EQ(parseLineImageLine("<img src=\"c:\\NoLine.gif\" width=100% height=1px>"),
              "c:\\NoLine.gif");
    const struct {
        const char* line;
        Opt sound, loop;
    } sounds[] = {
        {"<bgsound src=\"file://C:\\Nothing.wav\"loop=\"infinite\">", "C:\\Nothing.wav",
         "infinite"},
        {"<bgsound src=\"file:///home/me/a b.wav\"loop=\"3\" > ", "/home/me/a b.wav", "3"},
        {"<bgsound>", "<bgsound>", std::nullopt},
        {"", std::nullopt, std::nullopt},
    };
    for (const auto& c : sounds) {
        const SoundFields fields = parseSoundLine(c.line);
        EXPECT_EQ(fields.soundFile, c.sound) << c.line;
        EXPECT_EQ(fields.loopValue, c.loop) << c.line;
    }
    // Values read are corrected as the window's boxes would; a colour the list lacks is kept.
    auto document = WorkingDocument::fromTemplate();
    document.replaceText(lines::kFont, "body  {font: 0pt/abcpt Arial; margin: 0}");
    document.replaceText(lines::kColour, "{font-weight: bold; color: Gray}");
    document.replaceText(lines::kSound, "<bgsound src=\"file://x.wav\"loop=\"0\" > ");
    const FolderViewSettings s = readFolderViewSettings(document);
    EXPECT_EQ(std::tie(s.infoSize, s.titleSize, s.loopForever, s.loopCount, s.textColour),
              std::make_tuple("1", "10", false, "1", "Gray"));
}

}  // namespace
}  // namespace tessivane
