// SPDX-License-Identifier: MIT
#pragma once
// The built-in template: 344 lines of 7-bit ASCII, kept as the data file template.htt and
// compiled in. Every new document starts as a copy of it.
#include <string>
#include <vector>

namespace tessivane {

class WorkingDocument;

// The template's lines, without line terminators, exactly as stored.
const std::vector<std::string>& templateLines();

// Replaces the whole working document with a fresh copy of the template.
void ListCopy(WorkingDocument& document);

}  // namespace tessivane
