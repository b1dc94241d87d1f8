// SPDX-License-Identifier: MIT
#pragma once
// File services: a working document from a file, a working document to a file, and the
// case-insensitive look-ups in the window's lists.
//
// Paths are handed to the system as they are, never cleaned as text: "link/../f.htt" names the
// file the system finds there, and the file saved is the file read. A name that Qt could only
// decode with replacement characters (bytes that are not UTF-8) is refused before anything is
// read or written, because it would be encoded back as other bytes and reach another file.
//
// Loading reads the bytes whole and splits them with the document core's line rules. Saving
// follows a chain of symbolic links to its end and replaces that file. It writes a new file
// beside it, with the old file's mode, owner, group, ACL and extended attributes, and renames it
// over the old one once it is completely on disk, so a failed or killed save leaves the old file
// as it was. Where the rename would lose something (the file has other hard links, its owner or
// group or an attribute cannot be given to a new file, the folder may not be written), the file
// is written in place instead, its old content kept in memory and put back on any failure.
// Running out of memory is a failure like any other. What the caller tells the user about a
// failure is left to the caller.
#include <QString>
#include <QStringList>

#include "document/working_document.h"

namespace tessivane {

struct FileError {
    enum class Kind {
        None,
        NotWritable,     // the target file is read-only or not writable by this user
        NotRegularFile,  // the path names a folder, a device, a FIFO...
        InvalidName,     // the name is not valid UTF-8
        Other,           // missing or unwritable folder, full disk, name too long...
    };
    Kind kind = Kind::None;
    QString reason;  // the system's words, for the user

    explicit operator bool() const { return kind != Kind::None; }
};

// What tells whether another program changed a file: its size and modification time.
struct FileStamp {
    long long size = -1;
    long long modifiedNs = 0;

    bool isValid() const { return size >= 0; }
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

struct LoadResult {
    WorkingDocument document;
    FileError error;
    FileStamp stamp;  // of the file as it was read
};

LoadResult loadDocument(const QString& path);
FileError saveDocument(const WorkingDocument& document, const QString& path);
// Saves bytes exactly as given, with the same rules as a document.
FileError saveBytes(const std::string& bytes, const QString& path);

// Whether the name reaches its own file: Qt decodes bytes that are not UTF-8 as replacement
// characters, which would be encoded back as other bytes. Load and save refuse other names.
bool isFaithfulName(const QString& path);

// The stamp of the file at the path now; invalid when there is none.
FileStamp fileStamp(const QString& path);

// Whether a loaded document is one of ours: its second line is exactly the marker text.
bool hasMarkerLine(const WorkingDocument& document);

// Index of the item whose whole text equals the text ignoring letter case, or -1.
int findIgnoringCase(const QStringList& items, const QString& text);

}  // namespace tessivane
