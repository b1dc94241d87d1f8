// SPDX-License-Identifier: MIT
// The writer: the six setting lines composed byte for byte, the existence checks, and what a
// refusal leaves behind.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "document/line_map.h"
#include "document/template.h"
#include "document/working_document.h"
#include "document/writer.h"

namespace tessivane {
namespace {

FolderViewSettings templateValues() {
    FolderViewSettings s;
    s.infoSize = "8";
    s.titleSize = "10";
    s.fontFace = "Verdana";
    s.textColour = "Black";
    s.soundFile = "C:\\windows\\media\\Nothing.wav";
    s.loopForever = true;
    s.backgroundImage = "c:\\Nothing.gif";
    s.lineImage = "c:\\NoLine.gif";
    s.description = "%THISDIRNAME%";
    return s;
}

const FileExists kAllExist = [](const std::string&) { return true; };

WorkingDocument templateCopy() {
    WorkingDocument document = WorkingDocument::fromTemplate();
    return document;
}

TEST(Writer, WorkedExamplesByteForByte) {
    const auto lines = composeSettingLines(templateValues());
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0].index, 9);
    EXPECT_EQ(lines[0].text, "body  {font: 8pt/10pt Verdana; margin: 0}");
    EXPECT_EQ(lines[1].index, 10);
    EXPECT_EQ(lines[1].text, "{font-weight: bold; color: Black}");
    EXPECT_EQ(lines[2].index, 28);
    EXPECT_EQ(lines[2].text,
              "<bgsound src=\"file://C:\\windows\\media\\Nothing.wav\"loop=\"infinite\" > ");
    EXPECT_EQ(lines[3].index, 291);
    EXPECT_EQ(lines[3].text,
              "<div id=Panel style=\"background: white URL(file://c:\\Nothing.gif)\">");
    EXPECT_EQ(lines[4].index, 299);
    EXPECT_EQ(lines[4].text, "%THISDIRNAME%");
    EXPECT_EQ(lines[5].index, 303);
    EXPECT_EQ(lines[5].text, "<img src=\"c:\\NoLine.gif\" width=100% height=1px>");
}

TEST(Writer, LoopColourAndEmptySelections) {
    auto s = templateValues();
    s.loopForever = false;
    s.loopCount = "3";
    s.textColour = "Grey";
    EXPECT_EQ(composeSettingLines(s)[2].text,
              "<bgsound src=\"file://C:\\windows\\media\\Nothing.wav\"loop=\"3\" > ");
    EXPECT_EQ(composeSettingLines(s)[1].text, "{font-weight: bold; color: gray}");

    s.textColour = "Silver";
    EXPECT_EQ(composeSettingLines(s)[1].text, "{font-weight: bold; color: Silver}");
    s.textColour = "grey";  // only the list's exact spelling is translated
    EXPECT_EQ(composeSettingLines(s)[1].text, "{font-weight: bold; color: grey}");

    s.loopForever = true;  // the count is ignored while looping forever
    s.loopCount = "42";
    EXPECT_NE(composeSettingLines(s)[2].text.find("loop=\"infinite\""), std::string::npos);

    s.fontFace.clear();
    s.textColour.clear();
    s.description.clear();
    const auto lines = composeSettingLines(s);
    EXPECT_EQ(lines[0].text, "body  {font: 8pt/10pt ; margin: 0}");
    EXPECT_EQ(lines[1].text, "{font-weight: bold; color: }");
    EXPECT_EQ(lines[4].text, "");
}

TEST(Writer, UnchangedTemplateDiffersOnlyInFontColourAndSoundLines) {
    auto document = templateCopy();
    ASSERT_TRUE(writeSettings(document, templateValues(), kAllExist).written());
    const auto& original = templateLines();
    ASSERT_EQ(document.size(), original.size());
    std::set<std::size_t> changed;
    for (std::size_t i = 0; i < original.size(); ++i) {
        if (document.line(i) != original[i]) {
            changed.insert(i);
        }
    }
    EXPECT_EQ(changed, (std::set<std::size_t>{9, 10, 28}));
}

TEST(Writer, ChecksFilesInOrderAndStopsAtTheFirstMissing) {
    auto s = templateValues();
    s.soundFile = "sound.wav";
    s.backgroundImage = "back.gif";
    s.lineImage = "line.gif";
    const struct {
        std::set<std::string> existing;
        std::optional<std::string> missing;
        std::vector<std::string> tested;
    } cases[] = {
        {{}, "sound.wav", {"sound.wav"}},
        {{"sound.wav"}, "back.gif", {"sound.wav", "back.gif"}},
        {{"sound.wav", "back.gif"}, "line.gif", {"sound.wav", "back.gif", "line.gif"}},
        {{"sound.wav", "back.gif", "line.gif"},
         std::nullopt,
         {"sound.wav", "back.gif", "line.gif"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> tested;
        const FileExists exists = [&](const std::string& path) {
            tested.push_back(path);
            return c.existing.count(path) > 0;
        };
        auto document = templateCopy();
        const auto before = document;
        const auto outcome = writeSettings(document, s, exists);
        EXPECT_EQ(tested, c.tested);
        if (c.missing) {
            EXPECT_EQ(outcome.status, WriteOutcome::Status::MissingFile);
            EXPECT_EQ(outcome.detail, *c.missing);
            EXPECT_EQ(document, before);
        } else {
            EXPECT_TRUE(outcome.written());
        }
    }
}

TEST(Writer, EmptyPathIsMissing) {
    auto s = templateValues();
    s.soundFile.clear();
    auto document = templateCopy();
    const auto outcome =
        writeSettings(document, s, [](const std::string& path) { return !path.empty(); });
    EXPECT_EQ(outcome.status, WriteOutcome::Status::MissingFile);
    EXPECT_EQ(outcome.detail, "");
}

TEST(Writer, RefusesWithoutTouchingTheDocument) {
    auto shortDocument = WorkingDocument(std::vector<std::string>(300, "x"), TextEncoding::Utf8);
    const auto beforeShort = shortDocument;
    EXPECT_EQ(writeSettings(shortDocument, templateValues(), kAllExist).status,
              WriteOutcome::Status::DocumentTooShort);
    EXPECT_EQ(shortDocument, beforeShort);

    // A line break in a value would split the line on the next load and shift every line below.
    auto s = templateValues();
    s.description = "first\nsecond";
    auto document = templateCopy();
    const auto before = document;
    const auto outcome = writeSettings(document, s, kAllExist);
    EXPECT_EQ(outcome.status, WriteOutcome::Status::TextNotStorable);
    EXPECT_EQ(outcome.detail, "first\nsecond");
    EXPECT_EQ(document, before);
}

TEST(Writer, RunningTwiceGivesTheSameDocument) {
    auto once = templateCopy();
    writeSettings(once, templateValues(), kAllExist);
    auto twice = once;
    writeSettings(twice, templateValues(), kAllExist);
    EXPECT_EQ(once, twice);
}

}  // namespace
}  // namespace tessivane
