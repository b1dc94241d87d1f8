// SPDX-License-Identifier: MIT
// The built-in template against the line map (its length, its one marker line, its six setting
// lines; its scripts are checked by template_scripts_check.js), and the writer: the six setting
// lines composed byte for byte, the existence checks in their order, and refusals that leave the
// document as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>

#include "document/line_map.h"
#include "document/reader.h"
#include "document/template.h"
#include "document/working_document.h"
#include "document/writer.h"

namespace tessivane {
namespace {

// The template's own values, as the window would hold them.
FolderViewSettings templateValues() {
    return {.description = "%THISDIRNAME%",
            .backgroundImage = "c:\\Nothing.gif",
            .lineImage = "c:\\NoLine.gif",
            .soundFile = "C:\\windows\\media\\Nothing.wav",
            .loopForever = true,
            .fontFace = "Verdana",
            .textColour = "Black",
            .infoSize = "8",
            .titleSize = "10"};
}

const FileExists kAllExist = [](const std::string&) { return true; };

TEST(Writer, ComposesTheSixLinesByteForByte) {
    const auto lines = composeSettingLines(templateValues());
    const std::pair<int, const char*> expected[] = {
        {9, "body  {font: 8pt/10pt Verdana; margin: 0}"},
        {10, "{font-weight: bold; color: Black}"},
        {28, "<bgsound src=\"file://C:\\windows\\media\\Nothing.wav\"loop=\"infinite\" > "},
        {291, "<div id=Panel style=\"background: white URL(file://c:\\Nothing.gif)\">"},
        {299, "%THISDIRNAME%"},
        {303, "<img src=\"c:\\NoLine.gif\" width=100% height=1px>"},
    };
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].index, expected[i].first);
        EXPECT_EQ(lines[i].text, expected[i].second);
    }
    // A count, the one colour spelled otherwise in a page, and empty choices.
    auto s = templateValues();
    s.loopForever = false;
    s.loopCount = "3";
    s.textColour = "Grey";
    s.fontFace.clear();
    EXPECT_EQ(composeSettingLines(s)[2].text,
              "<bgsound src=\"file://C:\\windows\\media\\Nothing.wav\"loop=\"3\" > ");
    EXPECT_EQ(composeSettingLines(s)[1].text, "{font-weight: bold; color: gray}");
    EXPECT_EQ(composeSettingLines(s)[0].text, "body  {font: 8pt/10pt ; margin: 0}");
}

// Given what the document showed, the writer replaces only the lines whose values changed: the
// template's "verdana", "black" and its sound line's spacing stay until their values change.
TEST(Writer, LeavesTheLinesWhoseValuesDidNotChange) {
    const FolderViewSettings shown = readFolderViewSettings(WorkingDocument::fromTemplate());
    const auto changedLines = [&](const std::function<void(FolderViewSettings&)>& edit) {
        auto document = WorkingDocument::fromTemplate();
        FolderViewSettings settings = shown;
        edit(settings);
        EXPECT_TRUE(writeSettings(document, settings, kAllExist, &shown).written());
        std::set<std::size_t> changed;
        for (std::size_t i = 0; i < document.size(); ++i) {
            if (document.line(i) != templateLines()[i]) {
                changed.insert(i);
            }
        }
        return changed;
    };
    using Lines = std::set<std::size_t>;
    EXPECT_EQ(shown.fontFace + shown.textColour, "verdanaBlack");
    EXPECT_EQ(changedLines([](FolderViewSettings&) {}), Lines{});
    EXPECT_EQ(changedLines([](FolderViewSettings& s) { s.titleSize = "11"; }), Lines{9});
    EXPECT_EQ(changedLines([](FolderViewSettings& s) { s.fontFace = "Verdana"; }), Lines{9});
    EXPECT_EQ(changedLines([](FolderViewSettings& s) { s.loopCount = "7"; }), Lines{});
    EXPECT_EQ(changedLines([](FolderViewSettings& s) { s.loopForever = false; }), Lines{28});
    EXPECT_EQ(changedLines([](FolderViewSettings& s) { s.description = "d"; }), Lines{299});
    // Without what was shown, every setting line is composed anew.
    auto document = WorkingDocument::fromTemplate();
    ASSERT_TRUE(writeSettings(document, templateValues(), kAllExist).written());
    EXPECT_NE(document, WorkingDocument::fromTemplate());
}

// The sound, background and line image are checked in that order up to the first missing one;
// any refusal (a missing file, a line break in a value, a document too short) changes nothing.
TEST(Writer, RefusalsNameTheCauseAndLeaveTheDocument) {
    auto s = templateValues();
    s.soundFile = "sound.wav";
    s.backgroundImage = "back.gif";
    s.lineImage = "line.gif";
    using Status = WriteOutcome::Status;
    const struct {
        std::set<std::string> existing;
        std::string description;
        std::size_t lines;
        Status status;
        std::string detail;
        std::size_t tested;
    } cases[] = {
        {{}, "", 344, Status::MissingFile, "sound.wav", 1},
        {{"sound.wav"}, "", 344, Status::MissingFile, "back.gif", 2},
        {{"sound.wav", "back.gif"}, "", 344, Status::MissingFile, "line.gif", 3},
        {{"sound.wav", "back.gif", "line.gif"},
         "first\nsecond",
         344,
         Status::TextNotStorable,
         "first\nsecond",
         3},
        // The shortest document that holds the six lines, and one line shorter.
        {{"sound.wav", "back.gif", "line.gif"}, "", 303, Status::DocumentTooShort, "", 3},
        {{"sound.wav", "back.gif", "line.gif"}, "", 304, Status::Written, "", 3},
    };
    for (const auto& c : cases) {
        std::size_t tested = 0;
        const FileExists exists = [&](const std::string& path) {
            ++tested;
            return c.existing.count(path) > 0;
        };
        auto lines = templateLines();
        lines.resize(c.lines);
        auto document = WorkingDocument(lines, TextEncoding::Utf8);
        const auto before = document;
        s.description = c.description;
        const WriteOutcome outcome = writeSettings(document, s, exists);
        EXPECT_EQ(outcome.status, c.status) << c.detail;
        EXPECT_EQ(outcome.detail, c.detail);
        EXPECT_EQ(tested, c.tested);
        EXPECT_EQ(document == before, c.status != Status::Written) << c.detail;
        ReadOutcome read;
        readFolderViewSettings(document, &read);
        EXPECT_EQ(read.complete, c.lines >= 304) << c.lines;
        EXPECT_EQ(read.missingLine, read.complete ? 0 : 303) << c.lines;
    }
}

TEST(Template, MarkerAndSettingLinesAreWhereTheLineMapSays) {
    const auto& lines = templateLines();
    ASSERT_EQ(lines.size(), std::size_t(lines::kTemplateLineCount));
    const std::pair<int, const char*> fixed[] = {
        {lines::kMarker, "* WZ.exe"},
        {lines::kFont, "body  {font: 8pt/10pt verdana; margin: 0}"},
        {lines::kColour, "{font-weight: bold; color: black}"},
        {lines::kSound, R"~(<bgsound src="file://C:\windows\media\Nothing.wav"loop="infinite">)~"},
    };
    for (const auto& [index, text] : fixed) {
        EXPECT_EQ(lines[std::size_t(index)], text) << index;
    }
    EXPECT_EQ(std::count(lines.begin(), lines.end(), lines::kMarkerText), 1);
    for (const std::string& line : lines) {
        EXPECT_TRUE(std::all_of(line.begin(), line.end(), [](char c) { return c >= 0x20; }))
            << "only printable ASCII: " << line;
    }
}

}  // namespace
}  // namespace tessivane
