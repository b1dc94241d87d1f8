// SPDX-License-Identifier: MIT
#include "document/colours.h"

#include <gtest/gtest.h>

namespace tessivane {
namespace {

// The list's names: each screen colour is 0x00BBGGRR and found by its exact name only; a name is
// found in the list letter case aside; "Grey" alone is stored under its web name and read back.
TEST(ColoursTest, NamesScreenValuesAndTheDocumentsSpelling) {
    struct Row {
        const char* text;
        std::uint32_t screen;
        int found;
        const char* stored;
    };
    const Row rows[] = {
        {"Red", 0x0000FF, 9, "Red"},
        {"Navy", 0x800000, 4, "Navy"},
        {"Teal", 0x808000, 6, "Teal"},
        {"Silver", kSilverScreenColour, 8, "Silver"},
        {"Grey", 0x808080, 7, "gray"},
        {"GREY", 0, 7, "GREY"},
        {"gray", 0, -1, "gray"},
        {"Navy ", 0, -1, "Navy "},
        {"", 0, -1, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(screenColour(row.text), row.screen);
        EXPECT_EQ(findColour(row.text), row.found);
        EXPECT_EQ(colourForDocument(row.text), row.stored);
    }
    for (const std::string_view name : kColourNames) {
        EXPECT_EQ(colourFromDocument(colourForDocument(name)), name);
    }
    EXPECT_EQ(colourFromDocument("Gray"), "Gray");
}

}  // namespace
}  // namespace tessivane
