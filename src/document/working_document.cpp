// SPDX-License-Identifier: MIT
#include "document/working_document.h"

#include <utility>

#include "document/lines.h"

namespace tessivane {

WorkingDocument::WorkingDocument(std::vector<std::string> lines, TextEncoding encoding)
    : lines_(std::move(lines)), encoding_(encoding) {}

WorkingDocument WorkingDocument::fromBytes(std::string_view bytes) {
    auto lines = splitLines(bytes);
    const TextEncoding encoding = detectEncoding(lines);
    return WorkingDocument(std::move(lines), encoding);
}

std::string WorkingDocument::toBytes() const {
    return joinLines(lines_);
}

std::optional<std::string> WorkingDocument::text(std::size_t index) const {
    if (index >= lines_.size()) {
        return std::nullopt;
    }
    return decodeText(lines_[index], encoding_);
}

bool WorkingDocument::canStore(std::string_view utf8) const {
    // A line terminator inside a line would split it on the next load and shift every line below.
    return utf8.find_first_of("\r\n") == std::string_view::npos &&
           encodeText(utf8, encoding_).has_value();
}

bool WorkingDocument::replaceText(std::size_t index, std::string_view utf8) {
    if (index >= lines_.size()) {
        return false;
    }
    if (!canStore(utf8)) {
        return false;
    }
    lines_[index] = *encodeText(utf8, encoding_);
    return true;
}

}  // namespace tessivane
