// SPDX-License-Identifier: MIT
// Encodings: UTF-8 validated strictly, and Latin-1 keeping every byte.
#include <gtest/gtest.h>

#include "document/text_encoding.h"

namespace tessivane {
namespace {

TEST(Encoding, Utf8IsValidatedStrictlyAndLatin1KeepsEveryByte) {
    EXPECT_TRUE(isValidUtf8("caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"));
    for (const char* invalid :
         {"caf\xE9", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE2\x82", "\x80"}) {
        EXPECT_FALSE(isValidUtf8(invalid)) << invalid;
    }
    std::string all;
    for (int b = 0; b < 256; ++b) {
        all += static_cast<char>(b);
    }
    EXPECT_EQ(encodeText(decodeText(all, TextEncoding::Latin1), TextEncoding::Latin1), all);
    EXPECT_EQ(encodeText("\xE2\x82\xAC", TextEncoding::Latin1), std::nullopt);  // euro sign
}

}  // namespace
}  // namespace tessivane
