// SPDX-License-Identifier: MIT
#pragma once
// The built-in template: 344 lines of 7-bit ASCII, kept as the data file template.htt and
// compiled in. Every new document starts as a copy of it.
#include <string>
#include <vector>

namespace tessivane {

// The template's lines, without line terminators, exactly as stored.
const std::vector<std::string>& templateLines();

}  // namespace tessivane
