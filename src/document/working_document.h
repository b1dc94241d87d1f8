// SPDX-License-Identifier: MIT
#pragma once
// The working document: the lines of the template or of an opened file while the user edits.
//
// Lines are kept as the bytes that were read, so every line that no setting replaces is written
// back byte for byte. Texts going in and out are UTF-8 and are converted with the document's own
// encoding (see text_encoding.h). Reading and writing files is left to the file services; this
// class only holds and patches lines.
//
// A document may be as large as the file it came from, so it is held compactly: the lines' bytes
// one after another in one buffer (the file's own, with the line ends taken out in place), where
// each line ends, and the few lines replaced since.
#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "document/text_encoding.h"

namespace tessivane {

class WorkingDocument {
public:
    WorkingDocument() = default;
    WorkingDocument(const std::vector<std::string>& lines, TextEncoding encoding);

    // Splits a file's bytes into lines and picks the encoding that reads them without loss.
    static WorkingDocument fromBytes(std::string_view bytes);
    // The same, reusing the buffer, so that a file is held once while it is split.
    static WorkingDocument fromFileBytes(std::string&& bytes);
    // A fresh copy of the built-in template (template.h).
    static WorkingDocument fromTemplate();
    // The file's bytes: every line followed by CR LF.
    std::string toBytes() const;
    // The same bytes, handed over in order in pieces of about a mebibyte (a longer line whole),
    // so that a file can be written without a second copy of the document. Stops, answering
    // false, when the sink answers false.
    bool writeBytes(const std::function<bool(std::string_view)>& sink) const;
    // How many bytes toBytes() gives.
    std::size_t byteSize() const;

    std::size_t size() const { return ends_.size(); }
    bool empty() const { return ends_.empty(); }
    TextEncoding encoding() const { return encoding_; }

    // The line's bytes; the index must be below size(). Valid until the line is replaced.
    std::string_view line(std::size_t index) const;
    // The line as UTF-8 text, or nothing when the document has no such line.
    std::optional<std::string> text(std::size_t index) const;
    // Whether the text can be stored as one line: no CR or LF, and every character representable
    // in this document's encoding.
    bool canStore(std::string_view utf8) const;
    // Replaces one line by a UTF-8 text; no other line moves or changes. Returns false, changing
    // nothing, when the index is beyond the end or the text cannot be stored (see canStore).
    bool replaceText(std::size_t index, std::string_view utf8);

    // The same lines in the same encoding.
    friend bool operator==(const WorkingDocument& a, const WorkingDocument& b);

private:
    std::string content_;                          // every line's bytes, without line ends
    std::vector<std::size_t> ends_;                // where each line ends in content_
    std::map<std::size_t, std::string> replaced_;  // lines replaced since, by index
    TextEncoding encoding_ = TextEncoding::Utf8;
};

// Whether a document is one of ours: its second line is exactly the marker text.
bool hasMarkerLine(const WorkingDocument& document);

}  // namespace tessivane
