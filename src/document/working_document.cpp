// SPDX-License-Identifier: MIT
#include "document/working_document.h"

#include <algorithm>
#include <utility>

#include "document/line_map.h"

namespace tessivane {

WorkingDocument::WorkingDocument(const std::vector<std::string>& lines, TextEncoding encoding)
    : encoding_(encoding) {
    ends_.reserve(lines.size());
    for (const std::string& line : lines) {
        content_ += line;
        ends_.push_back(content_.size());
    }
}

WorkingDocument WorkingDocument::fromBytes(std::string_view bytes) {
    return fromFileBytes(std::string(bytes));
}

// A line ends at CR LF, at a lone CR or at a lone LF (lines.h); the line ends are taken out of the
// buffer by moving each line's bytes down over them.
WorkingDocument WorkingDocument::fromFileBytes(std::string&& bytes) {
    WorkingDocument document;
    // The file's bytes are valid UTF-8 exactly when each line's are: CR and LF never sit inside
    // a character.
    document.encoding_ = isValidUtf8(bytes) ? TextEncoding::Utf8 : TextEncoding::Latin1;
    const std::size_t size = bytes.size();
    std::size_t count = 0;
    for (std::size_t i = 0; i < size; ++i) {
        count += bytes[i] == '\r' || (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r'));
    }
    document.ends_.reserve(count + 1);
    std::size_t kept = 0;
    for (std::size_t i = 0; i < size;) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            document.ends_.push_back(kept);
            i += (c == '\r' && i + 1 < size && bytes[i + 1] == '\n') ? 2 : 1;
        } else {
            bytes[kept++] = c;
            ++i;
        }
    }
    if (kept != (document.ends_.empty() ? 0 : document.ends_.back())) {
        document.ends_.push_back(kept);  // a last line without a line end
    }
    bytes.resize(kept);
    document.content_ = std::move(bytes);
    return document;
}

std::string_view WorkingDocument::line(std::size_t index) const {
    if (const auto replaced = replaced_.find(index); replaced != replaced_.end()) {
        return replaced->second;
    }
    const std::size_t start = index == 0 ? 0 : ends_[index - 1];
    return std::string_view(content_).substr(start, ends_[index] - start);
}

std::size_t WorkingDocument::byteSize() const {
    std::size_t total = content_.size() + 2 * ends_.size();
    for (const auto& [index, text] : replaced_) {
        total = total + text.size() - (ends_[index] - (index == 0 ? 0 : ends_[index - 1]));
    }
    return total;
}

bool WorkingDocument::writeBytes(const std::function<bool(std::string_view)>& sink) const {
    constexpr std::size_t kPiece = std::size_t(1) << 20;
    std::string piece;
    piece.reserve(std::min(kPiece, byteSize()) + 2);
    for (std::size_t i = 0; i < ends_.size(); ++i) {
        const std::string_view bytes = line(i);
        if (piece.size() + bytes.size() > kPiece && !piece.empty()) {
            if (!sink(piece)) {
                return false;
            }
            piece.clear();
        }
        if (bytes.size() > kPiece) {
            if (!sink(bytes)) {
                return false;
            }
        } else {
            piece += bytes;
        }
        piece += "\r\n";
    }
    return piece.empty() || sink(piece);
}

std::string WorkingDocument::toBytes() const {
    std::string bytes;
    bytes.reserve(byteSize());
    writeBytes([&](std::string_view piece) {
        bytes += piece;
        return true;
    });
    return bytes;
}

std::optional<std::string> WorkingDocument::text(std::size_t index) const {
    if (index >= size()) {
        return std::nullopt;
    }
    return decodeText(line(index), encoding_);
}

bool WorkingDocument::canStore(std::string_view utf8) const {
    // A line terminator inside a line would split it on the next load and shift every line below.
    return utf8.find_first_of("\r\n") == std::string_view::npos &&
           encodeText(utf8, encoding_).has_value();
}

bool WorkingDocument::replaceText(std::size_t index, std::string_view utf8) {
    if (index >= size() || !canStore(utf8)) {
        return false;
    }
    replaced_[index] = *encodeText(utf8, encoding_);
    return true;
}

bool operator==(const WorkingDocument& a, const WorkingDocument& b) {
    if (a.size() != b.size() || a.encoding_ != b.encoding_) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a.line(i) != b.line(i)) {
            return false;
        }
    }
    return true;
}

bool hasMarkerLine(const WorkingDocument& document) {
    return document.size() > std::size_t(lines::kMarker) &&
           document.line(lines::kMarker) == lines::kMarkerText;
}

}  // namespace tessivane
