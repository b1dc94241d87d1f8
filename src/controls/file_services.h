// SPDX-License-Identifier: MIT
#pragma once
// File services: a working document from a file, a working document to a file, and the
// case-insensitive look-ups in the window's lists.
//
// Loading reads the bytes whole and splits them with the document core's line rules. Saving is
// atomic: the new content goes to a temporary file that replaces the target only once it has been
// completely written and flushed, so a failed save never damages the existing file. What the
// caller tells the user about a failure is left to the caller.
#include <QString>
#include <QStringList>

#include "document/working_document.h"

namespace tessivane {

struct FileError {
    enum class Kind {
        None,
        NotWritable,     // the target file is read-only or not writable by this user
        NotRegularFile,  // the path names a folder, a device, a FIFO...
        Other,           // missing or unwritable folder, full disk, name too long...
    };
    Kind kind = Kind::None;
    QString reason;  // the system's words, for the user

    explicit operator bool() const { return kind != Kind::None; }
};

struct LoadResult {
    WorkingDocument document;
    FileError error;
};

LoadResult loadDocument(const QString& path);
FileError saveDocument(const WorkingDocument& document, const QString& path);

// Whether a loaded document is one of ours: its second line is exactly the marker text.
bool hasMarkerLine(const WorkingDocument& document);

// Index of the item whose whole text equals the text ignoring letter case, or -1.
int findIgnoringCase(const QStringList& items, const QString& text);

}  // namespace tessivane
