// SPDX-License-Identifier: MIT
// The numeric test and the corrections of the size and loop-count boxes.
#include <gtest/gtest.h>

#include <cmath>

#include "document/numeric.h"

namespace tessivane {
namespace {

TEST(Numeric, AcceptsNumbersWithBlanksSignsFractionsAndExponents) {
    for (const char* text : {"0", "12", " 12 ", "\t7", "+3", "-5", "12.5", ".5", "5.", "1e3",
                             "1E+3", "2.5e-1", "-0.0", "000123"}) {
        EXPECT_TRUE(isNumeric(text)) << text;
    }
    for (const char* text : {"", " ", "+", "-", ".", "e3", "1e", "1e+", "12pt", "1,5", "0x10",
                             "1 2", "--1", "infinite", "nan", "inf", "\xEF\xBC\x91"}) {
        EXPECT_FALSE(isNumeric(text)) << text;
    }
}

TEST(Numeric, ValuesIgnoreTheLocaleAndSaturate) {
    EXPECT_DOUBLE_EQ(numericValue(" 12.5 "), 12.5);
    EXPECT_DOUBLE_EQ(numericValue("-3"), -3);
    EXPECT_DOUBLE_EQ(numericValue("2.5e-1"), 0.25);
    EXPECT_TRUE(std::isinf(numericValue("1e999")));
    EXPECT_DOUBLE_EQ(numericValue("1e-999"), 0);
    EXPECT_DOUBLE_EQ(numericValue("0e999"), 0);
}

TEST(Numeric, SizeCorrections) {
    const struct {
        const char* typed;
        const char* info;   // fallback "8"
        const char* title;  // fallback "10"
    } cases[] = {
        {"", "8", "10"},          {"x", "8", "10"},         {"12x", "8", "10"},
        {"0", "1", "1"},          {"-5", "1", "1"},         {"0.5", "1", "1"},
        {"2161", "2160", "2160"}, {"5000", "2160", "2160"}, {"1e999", "2160", "2160"},
        {"1", "1", "1"},          {"2160", "2160", "2160"}, {"12.5", "12.5", "12.5"},
        {" 9 ", " 9 ", " 9 "},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(correctedSize(c.typed, kInfoSizeFallback), c.info) << c.typed;
        EXPECT_EQ(correctedSize(c.typed, kTitleSizeFallback), c.title) << c.typed;
    }
}

TEST(Numeric, CorrectionsAreStable) {
    // The box's handler runs again on its own correction; a corrected text must pass unchanged.
    for (const char* typed : {"", "abc", "-1", "0.2", "99999", "7", "12.5"}) {
        const std::string once = correctedSize(typed, kInfoSizeFallback);
        EXPECT_EQ(correctedSize(once, kInfoSizeFallback), once) << typed;
        const std::string loop = correctedLoopCount(typed);
        EXPECT_EQ(correctedLoopCount(loop), loop) << typed;
    }
}

TEST(Numeric, LoopCountCorrections) {
    const struct {
        const char* typed;
        const char* expected;
    } cases[] = {{"", "1"},    {"x", "1"}, {"0", "1"},     {"-3", "1"},
                 {"0.9", "1"}, {"1", "1"}, {"2.5", "2.5"}, {"1000000", "1000000"}};
    for (const auto& c : cases) {
        EXPECT_EQ(correctedLoopCount(c.typed), c.expected) << c.typed;
    }
}

// What a document stores: the plain decimal form, whole for a loop count; other texts unchanged.
TEST(Numeric, StoredPlainly) {
    const struct {
        const char* text;
        const char* plain;
        const char* whole;
    } cases[] = {
        {"12", "12", "12"},
        {" 12", "12", "12"},
        {"12 ", "12", "12"},
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
        {"2160", "2160", "2160"},
        {"1e30", "1000000000000000000000000000000", "1000000000000000000000000000000"},
        {"abc", "abc", "abc"},
        {"1e99999", "1e99999", "1e99999"},
        {"", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(plainNumber(c.text), c.plain) << c.text;
        EXPECT_EQ(wholeNumber(c.text), c.whole) << c.text;
    }
}

}  // namespace
}  // namespace tessivane
