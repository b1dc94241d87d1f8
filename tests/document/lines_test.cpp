// SPDX-License-Identifier: MIT
// Lines: a file's bytes split at every kind of line end, and joined back.
#include <gtest/gtest.h>

#include "document/lines.h"

namespace tessivane {
namespace {

TEST(Lines, SplitAtEveryKindOfLineEndAndJoinWithCrLf) {
    using Lines = std::vector<std::string>;
    const std::pair<std::string, Lines> cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\rb\r", {"a", "b"}},
        {"a\r\nb\rc\nd", {"a", "b", "c", "d"}},
        {"\n\r", {"", ""}},  // LF then CR: two ends, not one
        {"a\r\r\nb", {"a", "", "b"}},
        {std::string("a\0b\r\nc", 6), {std::string("a\0b", 3), "c"}},
    };
    for (const auto& [bytes, lines] : cases) {
        EXPECT_EQ(splitLines(bytes), lines) << bytes;
    }
    const std::string crLf = "<!--\r\n* WZ.exe\r\n  trailing  \r\n\r\nlast\r\n";
    EXPECT_EQ(joinLines(splitLines(crLf)), crLf);
}

}  // namespace
}  // namespace tessivane
