// SPDX-License-Identifier: MIT
#pragma once
// The working document: the lines of the template or of an opened file while the user edits.
//
// Lines are kept as the bytes that were read, so every line that no setting replaces is written
// back byte for byte. Texts going in and out are UTF-8 and are converted with the document's own
// encoding (see text_encoding.h). Reading and writing files is left to the file services; this
// class only holds and patches lines.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "document/text_encoding.h"

namespace tessivane {

class WorkingDocument {
public:
    WorkingDocument() = default;
    WorkingDocument(std::vector<std::string> lines, TextEncoding encoding);

    // Splits a file's bytes into lines and picks the encoding that reads them without loss.
    static WorkingDocument fromBytes(std::string_view bytes);
    // A fresh copy of the built-in template (template.h).
    static WorkingDocument fromTemplate();
    // The file's bytes: every line followed by CR LF.
    std::string toBytes() const;

    std::size_t size() const { return lines_.size(); }
    bool empty() const { return lines_.empty(); }
    TextEncoding encoding() const { return encoding_; }
    const std::vector<std::string>& lines() const { return lines_; }

    // The line's bytes; the index must be below size().
    const std::string& line(std::size_t index) const { return lines_[index]; }
    // The line as UTF-8 text, or nothing when the document has no such line.
    std::optional<std::string> text(std::size_t index) const;
    // Whether the text can be stored as one line: no CR or LF, and every character representable
    // in this document's encoding.
    bool canStore(std::string_view utf8) const;
    // Replaces one line by a UTF-8 text; no other line moves or changes. Returns false, changing
    // nothing, when the index is beyond the end or the text cannot be stored (see canStore).
    bool replaceText(std::size_t index, std::string_view utf8);

    friend bool operator==(const WorkingDocument&, const WorkingDocument&) = default;

private:
    std::vector<std::string> lines_;
    TextEncoding encoding_ = TextEncoding::Utf8;
};

}  // namespace tessivane
