// Tests of the built-in template as the document core hands it out: its length, the lines the
// writer and reader rely on, the lines whose spaces are part of the data, and enough of the
// page's structure to catch a line that has slipped up or down.
#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "document/line_map.h"
#include "document/template.h"

namespace tessivane {
namespace {

const std::vector<std::string>& tmpl() {
    return templateLines();
}

// The line without its leading spaces: indentation in the template is free.
std::string_view unindented(std::string_view line) {
    const std::size_t first = line.find_first_not_of(' ');
    return first == std::string_view::npos ? std::string_view{} : line.substr(first);
}

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

bool contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

std::size_t trailingSpaces(std::string_view line) {
    const std::size_t last = line.find_last_not_of(' ');
    return last == std::string_view::npos ? line.size() : line.size() - last - 1;
}

// ---- Size ----

TEST(TemplateSize, HasExactly344Lines) {
    EXPECT_EQ(tmpl().size(), 344u);
    EXPECT_EQ(static_cast<int>(tmpl().size()), lines::kTemplateLineCount);
}

TEST(TemplateSize, SameObjectOnEveryCall) {
    // The template never changes at run time: every caller sees the one constant copy.
    EXPECT_EQ(&templateLines(), &templateLines());
}

// ---- The lines the writer replaces, the reader parses and Open compares ----

struct FixedLine {
    int index;
    int mapIndex;  // the same line as line_map.h names it
    const char* text;
};

const FixedLine kFixedLines[] = {
    {1, lines::kMarker, "* WZ.exe"},
    {9, lines::kFont, "body  {font: 8pt/10pt verdana; margin: 0}"},
    {10, lines::kColour, "{font-weight: bold; color: black}"},
    {28, lines::kSound, R"~(<bgsound src="file://C:\windows\media\Nothing.wav"loop="infinite">)~"},
    {291, lines::kPanel,
     R"~(<div id=Panel style="background: white URL(file://c:\Nothing.gif)">)~"},
    {299, lines::kDescription, "%THISDIRNAME%"},
    {303, lines::kLineImage, R"~(<img src="c:\NoLine.gif" width=100% height=1px>)~"},
};

TEST(TemplateFixedLines, LineMapPointsAtTheFixedLines) {
    for (const FixedLine& fixed : kFixedLines) {
        EXPECT_EQ(fixed.mapIndex, fixed.index) << "line_map.h disagrees about line " << fixed.index;
    }
}

TEST(TemplateFixedLines, ByteExact) {
    ASSERT_EQ(tmpl().size(), 344u);
    for (const FixedLine& fixed : kFixedLines) {
        EXPECT_EQ(tmpl()[fixed.index], fixed.text) << "line " << fixed.index;
    }
}

TEST(TemplateFixedLines, MarkerLineIsTheMarkerText) {
    ASSERT_GT(tmpl().size(), 1u);
    EXPECT_EQ(tmpl()[lines::kMarker], lines::kMarkerText);
    EXPECT_EQ(lines::kMarkerText, "* WZ.exe");
}

TEST(TemplateFixedLines, DetailsTheReaderDependsOn) {
    ASSERT_EQ(tmpl().size(), 344u);
    // Two spaces after "body", none before "loop=", and the template's own ">" ending.
    EXPECT_EQ(tmpl()[9].substr(0, 13), "body  {font: ");
    EXPECT_FALSE(contains(tmpl()[28], " loop="));
    EXPECT_TRUE(contains(tmpl()[28], "\"loop=\"infinite\""));
    EXPECT_EQ(tmpl()[28].back(), '>');
    EXPECT_NE(tmpl()[28].substr(tmpl()[28].size() - 2), " >");
    // The colour line is a rule with no selector.
    EXPECT_EQ(tmpl()[10].front(), '{');
}

TEST(TemplateFixedLines, MarkerAppearsOnlyOnLineOne) {
    for (std::size_t i = 0; i < tmpl().size(); ++i) {
        if (i != static_cast<std::size_t>(lines::kMarker)) {
            EXPECT_NE(tmpl()[i], "* WZ.exe") << "line " << i;
        }
    }
}

// ---- Spaces and empty lines ----

const int kTrailingSpaceLines[] = {2, 21, 71, 251};
const int kThreeSpaceLines[] = {301, 304, 327, 332};
const int kEmptyLines[] = {6, 26, 34, 99, 265, 275, 277, 289, 296, 308, 317, 322, 335, 341};

TEST(TemplateSpacing, LinesThatEndInOneOrTwoSpaces) {
    ASSERT_EQ(tmpl().size(), 344u);
    for (int index : kTrailingSpaceLines) {
        const std::string& line = tmpl()[index];
        const std::size_t spaces = trailingSpaces(line);
        EXPECT_GE(spaces, 1u) << "line " << index << ": \"" << line << "\"";
        EXPECT_LE(spaces, 2u) << "line " << index << ": \"" << line << "\"";
        EXPECT_LT(spaces, line.size()) << "line " << index << " should have text before its spaces";
    }
}

TEST(TemplateSpacing, LinesOfThreeSpaces) {
    ASSERT_EQ(tmpl().size(), 344u);
    for (int index : kThreeSpaceLines) {
        EXPECT_EQ(tmpl()[index], "   ") << "line " << index;
    }
}

TEST(TemplateSpacing, NoOtherLineEndsInASpace) {
    std::vector<bool> allowed(tmpl().size(), false);
    for (int index : kTrailingSpaceLines) {
        allowed.at(index) = true;
    }
    for (int index : kThreeSpaceLines) {
        allowed.at(index) = true;
    }
    for (std::size_t i = 0; i < tmpl().size(); ++i) {
        if (!allowed[i]) {
            EXPECT_EQ(trailingSpaces(tmpl()[i]), 0u) << "line " << i << ": \"" << tmpl()[i] << "\"";
        }
    }
}

TEST(TemplateSpacing, EmptyLinesOfTheMap) {
    ASSERT_EQ(tmpl().size(), 344u);
    for (int index : kEmptyLines) {
        EXPECT_TRUE(tmpl()[index].empty()) << "line " << index << ": \"" << tmpl()[index] << "\"";
    }
}

// ---- Characters ----

TEST(TemplateCharacters, SevenBitAsciiWithoutLineBreaks) {
    for (std::size_t i = 0; i < tmpl().size(); ++i) {
        const std::string& line = tmpl()[i];
        for (std::size_t column = 0; column < line.size(); ++column) {
            const auto c = static_cast<unsigned char>(line[column]);
            EXPECT_LT(c, 0x80u) << "line " << i << ", column " << column;
            EXPECT_NE(c, '\r') << "line " << i << ", column " << column;
            EXPECT_NE(c, '\n') << "line " << i << ", column " << column;
            EXPECT_NE(c, '\0') << "line " << i << ", column " << column;
        }
    }
}

// ---- Structure: anchors that move when a line is added or lost ----

struct Anchor {
    int index;
    const char* start;  // what the line starts with, after its indentation
};

const Anchor kAnchors[] = {
    {0, "<!--"},      {5, "-->"},         {7, "<html"},           {8, "<style"},
    {25, "</style>"}, {27, "<head"},      {35, "<script"},        {98, "</script>"},
    {100, "<script"}, {264, "</script>"}, {266, "<script"},       {273, "</script>"},
    {274, "</head>"}, {276, "<body"},     {284, "%THISDIRNAME%"}, {291, "<div id=Panel"},
    {333, "</div>"},  {342, "</body>"},   {343, "</html>"},
};

TEST(TemplateStructure, AnchorLines) {
    ASSERT_EQ(tmpl().size(), 344u);
    for (const Anchor& anchor : kAnchors) {
        EXPECT_TRUE(startsWith(unindented(tmpl()[anchor.index]), anchor.start))
            << "line " << anchor.index << " should start with \"" << anchor.start << "\" but is \""
            << tmpl()[anchor.index] << "\"";
    }
}

TEST(TemplateStructure, ScriptsOpenAndCloseOnlyWhereExpected) {
    const std::vector<int> opens = {35, 100, 266};
    const std::vector<int> closes = {98, 264, 273};
    std::vector<int> foundOpens;
    std::vector<int> foundCloses;
    for (std::size_t i = 0; i < tmpl().size(); ++i) {
        if (contains(tmpl()[i], "<script")) {
            foundOpens.push_back(static_cast<int>(i));
        }
        if (contains(tmpl()[i], "</script>")) {
            foundCloses.push_back(static_cast<int>(i));
        }
    }
    EXPECT_EQ(foundOpens, opens);
    EXPECT_EQ(foundCloses, closes);
}

TEST(TemplateStructure, ScriptBindings) {
    ASSERT_EQ(tmpl().size(), 344u);
    EXPECT_TRUE(contains(tmpl()[35], "JavaScript"));
    EXPECT_FALSE(contains(tmpl()[35], "for="));
    EXPECT_TRUE(contains(tmpl()[100], "for=\"FileList\"")) << tmpl()[100];
    EXPECT_TRUE(contains(tmpl()[100], "event=\"SelectionChanged\"")) << tmpl()[100];
    EXPECT_TRUE(contains(tmpl()[266], "for=\"Thumbnail\"")) << tmpl()[266];
    EXPECT_TRUE(contains(tmpl()[266], "event=\"OnThumbnailReady\"")) << tmpl()[266];
}

TEST(TemplateStructure, BodyRunsInitOnLoadWithoutScrolling) {
    ASSERT_EQ(tmpl().size(), 344u);
    EXPECT_TRUE(contains(tmpl()[276], "scroll=no")) << tmpl()[276];
    EXPECT_TRUE(contains(tmpl()[276], "onload=\"Init()\"")) << tmpl()[276];
}

TEST(TemplateStructure, OneStyleRulePerLine) {
    ASSERT_EQ(tmpl().size(), 344u);
    const std::pair<int, const char*> rules[] = {
        {11, "#FileList "},  {12, "#Media "},      {13, "#Panel "},   {14, "#PieChart "},
        {15, "#Thumbnail "}, {16, "#Status "},     {17, "#Brand "},   {18, "p "},
        {19, "p.Title "},    {20, "p.LogoLine "},  {21, "p.Warning"}, {22, "p.Links "},
        {23, "a.Command "},  {24, "div.Release "},
    };
    for (const auto& [index, selector] : rules) {
        const std::string_view line = unindented(tmpl()[index]);
        EXPECT_TRUE(startsWith(line, selector))
            << "line " << index << ": \"" << tmpl()[index] << "\"";
        if (index == 21) {
            EXPECT_FALSE(contains(line, "{")) << "p.Warning has no declarations on its line";
        } else {
            EXPECT_TRUE(contains(line, "{") && line.back() == '}')
                << "line " << index << " should hold one whole rule";
        }
    }
    EXPECT_TRUE(contains(tmpl()[19], "16pt"));
}

TEST(TemplateStructure, PageElementsById) {
    ASSERT_EQ(tmpl().size(), 344u);
    const std::pair<int, const char*> ids[] = {
        {279, "id=MiniBanner"}, {291, "id=Panel"}, {306, "id=Info"},     {320, "id=Thumbnail"},
        {324, "id=Status"},     {330, "id=Media"}, {338, "id=FileList"},
    };
    for (const auto& [index, id] : ids) {
        EXPECT_TRUE(contains(tmpl()[index], id))
            << "line " << index << ": \"" << tmpl()[index] << "\"";
    }
    EXPECT_TRUE(contains(tmpl()[293], "E5DF9D10-3B52-11D1-83E8-00A0C90DC849"));
    EXPECT_TRUE(contains(tmpl()[320], "1D2B4F40-1F10-11D1-9E88-00C04FDCAB92"));
    EXPECT_TRUE(contains(tmpl()[338], "1820FED0-473E-11D0-A96C-00C04FD705A2"));
}

TEST(TemplateStructure, FunctionsOfTheMainScript) {
    ASSERT_EQ(tmpl().size(), 344u);
    const std::pair<int, const char*> functions[] = {
        {55, "function FixSize("},
        {77, "function FormatNumber("},
        {88, "function Properties("},
        {92, "function Init("},
    };
    for (const auto& [index, start] : functions) {
        EXPECT_TRUE(startsWith(unindented(tmpl()[index]), start))
            << "line " << index << ": \"" << tmpl()[index] << "\"";
    }
}

TEST(TemplateStructure, TextVariablesOfTheMainScript) {
    ASSERT_EQ(tmpl().size(), 344u);
    const char* const declarations[] = {
        R"~(L_Prompt_Text = "Select an item to view its description.")~",
        R"~(L_Multiple_Text = " items selected.")~",
        R"~(L_Size_Text = "Size: ")~",
        R"~(L_FileSize_Text = "Total File Size: ")~",
        R"~(L_Delimiter_Text = ",")~",
        R"~(L_Bytes_Text = "&nbsp;bytes")~",
        R"~(L_Attributes_Text = "Attributes")~",
        R"~(L_Codes_Text = "RHSaCE")~",
        R"~(L_Properties_Text = "P&roperties")~",
        R"~("(normal)")~",
    };
    for (const char* declaration : declarations) {
        bool found = false;
        for (int index = 36; index <= 53; ++index) {
            found = found || contains(tmpl()[index], declaration);
        }
        EXPECT_TRUE(found) << declaration << " not declared on lines 36-53";
    }
    EXPECT_TRUE(contains(tmpl()[52], "timer = 0")) << tmpl()[52];
    EXPECT_TRUE(contains(tmpl()[53], "wantMedia = false")) << tmpl()[53];
}

}  // namespace
}  // namespace tessivane
