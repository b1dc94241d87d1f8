// SPDX-License-Identifier: MIT
#pragma once
// Where things sit in a Web View template. The indices are 0-based and are part of the file
// format: the writer replaces exactly these lines and the reader takes the settings back out of
// them.
#include <string_view>

namespace tessivane::lines {

inline constexpr int kMarker = 1;
inline constexpr int kFont = 9;
inline constexpr int kColour = 10;
inline constexpr int kSound = 28;
inline constexpr int kPanel = 291;
inline constexpr int kDescription = 299;
inline constexpr int kLineImage = 303;
inline constexpr int kTemplateLineCount = 344;

// A file is one of ours exactly when its second line is this text, whole and case-sensitive.
inline constexpr std::string_view kMarkerText = "* WZ.exe";

}  // namespace tessivane::lines
