// SPDX-License-Identifier: MIT
#include "document/colours.h"

namespace tessivane {
namespace {

// The HTML 4 colour values, in the order of kColourNames, as 0xRRGGBB.
constexpr std::array<std::uint32_t, 16> kRgb = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0x808080,
    0xC0C0C0, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lowerAscii(a[i]) != lowerAscii(b[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::uint32_t screenColour(std::string_view name) {
    for (std::size_t i = 0; i < kColourNames.size(); ++i) {
        if (kColourNames[i] == name) {
            const std::uint32_t rgb = kRgb[i];
            return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
        }
    }
    return 0;
}

int findColour(std::string_view text) {
    for (std::size_t i = 0; i < kColourNames.size(); ++i) {
        if (equalsIgnoringAsciiCase(kColourNames[i], text)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

std::string colourForDocument(std::string_view listName) {
    return listName == "Grey" ? std::string("gray") : std::string(listName);
}

std::string colourFromDocument(std::string_view stored) {
    return stored == "gray" ? std::string("Grey") : std::string(stored);
}

}  // namespace tessivane
