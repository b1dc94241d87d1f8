// SPDX-License-Identifier: MIT
#pragma once
// The document writer: checks that the referenced files exist, then puts the settings into the
// six setting lines of a working document. Writing the document to disk is the caller's job.
#include <array>
#include <functional>
#include <optional>
#include <string>

#include "document/settings.h"

namespace tessivane {

class WorkingDocument;

struct SettingLine {
    int index;
    std::string text;
};

// The six setting lines for the settings, in the order they are replaced: font, colour, sound,
// panel, description, line image. A pure function; no escaping is applied to any value.
std::array<SettingLine, 6> composeSettingLines(const FolderViewSettings& settings);

using FileExists = std::function<bool(const std::string& path)>;

// The first of the sound, background image and line image paths (in that order) for which no
// file exists, or nothing when all three exist.
std::optional<std::string> firstMissingFile(const FolderViewSettings& settings,
                                            const FileExists& fileExists);

struct WriteOutcome {
    enum class Status {
        Written,           // the six lines were replaced
        MissingFile,       // detail: the path that does not exist
        DocumentTooShort,  // the document has no line where a setting belongs
        TextNotStorable,   // detail: the value that the document's lines cannot hold
    };
    Status status = Status::Written;
    std::string detail;

    bool written() const { return status == Status::Written; }
};

// Checks the referenced files, then replaces the six setting lines. On any refusal the document
// keeps every line it had. `shown`, when given, is what the document showed when it was read (or
// last written): a line whose values the settings still hold is left exactly as it is, so that
// nothing the user did not change is written otherwise (a lower-case face, a colour spelled its
// own way, a hand-made line).
WriteOutcome writeSettings(WorkingDocument& document, const FolderViewSettings& settings,
                           const FileExists& fileExists, const FolderViewSettings* shown = nullptr);

}  // namespace tessivane
