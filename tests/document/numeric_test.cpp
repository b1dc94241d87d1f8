// SPDX-License-Identifier: MIT
// The numeric test, the corrections of the size and loop-count boxes, and the plain form a
// document stores.
#include <gtest/gtest.h>

#include "document/numeric.h"

namespace tessivane {
namespace {

TEST(Numeric, AcceptsNumbersWithBlanksSignsFractionsAndExponents) {
    for (const char* text :
         {"0", " 12 ", "\t7", "+3", "-5", "12.5", ".5", "5.", "1E+3", "2.5e-1"}) {
        EXPECT_TRUE(isNumeric(text)) << text;
    }
    for (const char* text : {"", " ", "+", ".", "e3", "1e", "12pt", "1,5", "0x10", "1 2", "--1",
                             "inf", "\xEF\xBC\x91"}) {
        EXPECT_FALSE(isNumeric(text)) << text;
    }
}

// Each box's correction, as typed; a corrected text passes its correction again unchanged,
// because the box's handler runs once more on its own correction.
TEST(Numeric, CorrectionsOfSizesAndLoopCounts) {
    const struct {
        const char* typed;
        const char* info;   // fallback "8"
        const char* title;  // fallback "10"
        const char* loop;
    } cases[] = {
        {"", "8", "10", "1"},
        {"x", "8", "10", "1"},
        {"0", "1", "1", "1"},
        {"-5", "1", "1", "1"},
        {"0.5", "1", "1", "1"},
        {"2161", "2160", "2160", "2161"},
        {"1e999", "2160", "2160", "1e999"},
        {"12.5", "12.5", "12.5", "12.5"},
        {" 9 ", " 9 ", " 9 ", " 9 "},
        // Limits hold for the exact value, which a double would round onto them.
        {".9999999999999999999", "1", "1", "1"},
        {"2160.0000000000000001", "2160", "2160", "2160.0000000000000001"},
        {"2160.000", "2160.000", "2160.000", "2160.000"},
        {"0.1e1", "0.1e1", "0.1e1", "0.1e1"},
        {"1e-99999", "1", "1", "1"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(correctedSize(c.typed, kInfoSizeFallback), c.info) << c.typed;
        EXPECT_EQ(correctedSize(c.typed, kTitleSizeFallback), c.title) << c.typed;
        EXPECT_EQ(correctedLoopCount(c.typed), c.loop) << c.typed;
        EXPECT_EQ(correctedSize(c.info, kInfoSizeFallback), c.info) << c.typed;
        EXPECT_EQ(correctedLoopCount(c.loop), c.loop) << c.typed;
    }
}

// What a document stores: the plain decimal form, whole for a loop count; other texts unchanged.
TEST(Numeric, StoredPlainly) {
    const struct {
        const char* text;
        const char* plain;
        const char* whole;
    } cases[] = {
        {" 12", "12", "12"},
        {"+5", "5", "5"},
        {"12.", "12", "12"},
        {"1e1", "10", "10"},
        {"1.5E+2", "150", "150"},
        {"2.5e-1", "0.25", "0"},
        {".5", "0.5", "0"},
        {"12.50", "12.5", "12"},
        {"000123", "123", "123"},
        {"-0.0", "0", "0"},
        {"-2.5", "-2.5", "-2"},
        {"1e30", "1000000000000000000000000000000", "1000000000000000000000000000000"},
        {"abc", "abc", "abc"},
        {"1e99999", "1e99999", "1e99999"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(plainNumber(c.text), c.plain) << c.text;
        EXPECT_EQ(wholeNumber(c.text), c.whole) << c.text;
    }
}

}  // namespace
}  // namespace tessivane
