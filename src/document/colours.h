// SPDX-License-Identifier: MIT
#pragma once
// The sixteen text colours the user can choose, in list order, with their screen values.
//
// Screen colours are 0x00BBGGRR (red in the low byte). "Grey" is the list's spelling; documents
// store the web name "gray" instead, and reading maps it back.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tessivane {

inline constexpr std::array<std::string_view, 16> kColourNames = {
    "Black",  "Maroon", "Green", "Olive",  "Navy", "Purple",  "Teal", "Grey",
    "Silver", "Red",    "Lime",  "Yellow", "Blue", "Fuchsia", "Aqua", "White"};

inline constexpr std::uint32_t kSilverScreenColour = 12632256;  // red, green and blue 192

// The screen colour of a list name (matched exactly); 0 for the empty text or any other text.
std::uint32_t screenColour(std::string_view name);

// Index of the list name that equals the text ignoring ASCII letter case, or -1.
int findColour(std::string_view text);

// The colour as a document stores it: "Grey" (exactly) becomes "gray", anything else is unchanged.
std::string colourForDocument(std::string_view listName);
// The colour as the list spells it after reading: "gray" (exactly) becomes "Grey".
std::string colourFromDocument(std::string_view stored);

}  // namespace tessivane
