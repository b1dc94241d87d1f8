// SPDX-License-Identifier: MIT
#include "document/template.h"

#include <string_view>

#include "document/lines.h"
#include "document/working_document.h"

namespace tessivane {

extern const std::string_view kTemplateBytes;

const std::vector<std::string>& templateLines() {
    static const std::vector<std::string> lines = splitLines(kTemplateBytes);
    return lines;
}

WorkingDocument WorkingDocument::fromTemplate() {
    return WorkingDocument(templateLines(), TextEncoding::Utf8);
}

}  // namespace tessivane
