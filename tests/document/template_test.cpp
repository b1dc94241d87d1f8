// SPDX-License-Identifier: MIT
// The built-in template as the document core hands it out: its length, the lines the writer and
// reader rely on, the lines whose spaces are part of the data, and anchors that move when a line
// slips up or down. Its scripts are checked by template_scripts_check.js.
#include <gtest/gtest.h>

#include <algorithm>
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

std::size_t trailingSpaces(std::string_view line) {
    const std::size_t last = line.find_last_not_of(' ');
    return last == std::string_view::npos ? line.size() : line.size() - last - 1;
}

TEST(Template, FixedLinesAreByteExactAtTheirIndices) {
    ASSERT_EQ(tmpl().size(), std::size_t(lines::kTemplateLineCount));
    ASSERT_EQ(lines::kTemplateLineCount, 344);
    const std::pair<int, const char*> fixed[] = {
        {lines::kMarker, "* WZ.exe"},
        {lines::kFont, "body  {font: 8pt/10pt verdana; margin: 0}"},
        {lines::kColour, "{font-weight: bold; color: black}"},
        {lines::kSound, R"~(<bgsound src="file://C:\windows\media\Nothing.wav"loop="infinite">)~"},
        {lines::kPanel, R"~(<div id=Panel style="background: white URL(file://c:\Nothing.gif)">)~"},
        {lines::kDescription, "%THISDIRNAME%"},
        {lines::kLineImage, R"~(<img src="c:\NoLine.gif" width=100% height=1px>)~"},
    };
    const int expectedIndices[] = {1, 9, 10, 28, 291, 299, 303};
    for (std::size_t i = 0; i < std::size(fixed); ++i) {
        EXPECT_EQ(fixed[i].first, expectedIndices[i]);
        EXPECT_EQ(tmpl()[std::size_t(fixed[i].first)], fixed[i].second);
    }
    for (std::size_t i = 0; i < tmpl().size(); ++i) {
        if (i != 1) {
            EXPECT_NE(tmpl()[i], lines::kMarkerText) << "a second marker line at " << i;
        }
    }
}

TEST(Template, SpacesAndEmptyLinesArePartOfTheData) {
    ASSERT_EQ(tmpl().size(), 344u);
    const std::vector<std::size_t> trailing = {2, 21, 71, 251};
    const std::vector<std::size_t> threeSpaces = {301, 304, 327, 332};
    const std::vector<std::size_t> empty = {6,   26,  34,  99,  265, 275, 277,
                                            289, 296, 308, 317, 322, 335, 341};
    for (std::size_t i = 0; i < tmpl().size(); ++i) {
        const std::string& line = tmpl()[i];
        const auto in = [i](const std::vector<std::size_t>& set) {
            return std::find(set.begin(), set.end(), i) != set.end();
        };
        if (in(trailing)) {
            EXPECT_TRUE(trailingSpaces(line) >= 1 && trailingSpaces(line) <= 2 &&
                        trailingSpaces(line) < line.size())
                << "line " << i << ": \"" << line << "\"";
        } else if (in(threeSpaces)) {
            EXPECT_EQ(line, "   ") << "line " << i;
        } else if (in(empty)) {
            EXPECT_EQ(line, "") << "line " << i;
        } else {
            EXPECT_EQ(trailingSpaces(line), 0u) << "line " << i << ": \"" << line << "\"";
        }
        for (const char c : line) {
            const auto byte = static_cast<unsigned char>(c);
            EXPECT_TRUE(byte >= 0x20 && byte < 0x7F) << "line " << i << " holds byte " << int(byte);
        }
    }
}

TEST(Template, StructureAnchors) {
    ASSERT_EQ(tmpl().size(), 344u);
    // What a line starts with (after its free indentation) or must contain.
    const struct {
        std::size_t index;
        const char* start;
        const char* contains;
    } anchors[] = {
        {0, "<!--", ""},
        {5, "-->", ""},
        {7, "<html", ""},
        {8, "<style", ""},
        {11, "#FileList ", "{"},
        {19, "p.Title ", "16pt"},
        {21, "p.Warning", ""},
        {24, "div.Release ", "{"},
        {25, "</style>", ""},
        {27, "<head", ""},
        {35, "<script", "JavaScript"},
        {98, "</script>", ""},
        {100, "<script", "for=\"FileList\" event=\"SelectionChanged\""},
        {264, "</script>", ""},
        {266, "<script", "for=\"Thumbnail\" event=\"OnThumbnailReady\""},
        {273, "</script>", ""},
        {274, "</head>", ""},
        {276, "<body", "onload=\"Init()\""},
        {279, "<div", "id=MiniBanner"},
        {284, "%THISDIRNAME%", ""},
        {306, "<span", "id=Info"},
        {320, "<object", "1D2B4F40-1F10-11D1-9E88-00C04FDCAB92"},
        {324, "<div", "id=Status"},
        {330, "<div", "id=Media"},
        {333, "</div>", ""},
        {338, "<object", "1820FED0-473E-11D0-A96C-00C04FD705A2"},
        {342, "</body>", ""},
        {343, "</html>", ""},
    };
    for (const auto& anchor : anchors) {
        const std::string& line = tmpl()[anchor.index];
        const std::string_view text =
            std::string_view(line).substr(std::min(line.size(), line.find_first_not_of(' ')));
        EXPECT_EQ(text.substr(0, std::string_view(anchor.start).size()), anchor.start)
            << "line " << anchor.index << ": \"" << line << "\"";
        EXPECT_NE(line.find(anchor.contains), std::string::npos)
            << "line " << anchor.index << ": \"" << line << "\"";
    }
    for (std::size_t i = 0; i < tmpl().size(); ++i) {
        const bool opens = tmpl()[i].find("<script") != std::string::npos;
        EXPECT_EQ(opens, i == 35 || i == 100 || i == 266) << "line " << i;
    }
}

}  // namespace
}  // namespace tessivane
