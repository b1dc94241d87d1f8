// SPDX-License-Identifier: MIT
#pragma once
// Splitting a file's bytes into lines and joining lines back into a file's bytes.
//
// A line ends at CR LF, at a lone CR or at a lone LF, so files from any platform split the same
// way everywhere the program reads one. A last line without a terminator is still a line; an
// empty input has no lines. Joining ends every line with CR LF, the form the shell expects.
#include <string>
#include <string_view>
#include <vector>

namespace tessivane {

std::vector<std::string> splitLines(std::string_view bytes);
std::string joinLines(const std::vector<std::string>& lines);

}  // namespace tessivane
