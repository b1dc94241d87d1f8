// SPDX-License-Identifier: MIT
// The built-in template against the line map the writer and the reader rely on: its length, its
// one marker line and its six setting lines where the map puts them. (Its scripts are checked by
// template_scripts_check.js.)
#include <gtest/gtest.h>

#include <algorithm>

#include "document/line_map.h"
#include "document/template.h"

namespace tessivane {
namespace {

TEST(Template, MarkerAndSettingLinesAreWhereTheLineMapSays) {
    const auto& lines = templateLines();
    ASSERT_EQ(lines.size(), std::size_t(lines::kTemplateLineCount));
    const std::pair<int, const char*> fixed[] = {
        {lines::kMarker, "* WZ.exe"},
        {lines::kFont, "body  {font: 8pt/10pt verdana; margin: 0}"},
        {lines::kColour, "{font-weight: bold; color: black}"},
        {lines::kSound, R"~(<bgsound src="file://C:\windows\media\Nothing.wav"loop="infinite">)~"},
        {lines::kPanel, R"~(<div id=Panel style="background: white URL(file://c:\Nothing.gif)">)~"},
        {lines::kDescription, "%THISDIRNAME%"},
        {lines::kLineImage, R"~(<img src="c:\NoLine.gif" width=100% height=1px>)~"},
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
