// SPDX-License-Identifier: MIT
#pragma once
// File services: a working document from a file, a working document to a file, and whether a
// file exists.
//
// Paths are handed to the system as they are, never cleaned as text: "link/../f.htt" names the
// file the system finds there, and the file saved is the file read. A name that Qt could only
// decode with replacement characters (bytes that are not UTF-8) is refused before anything is
// read or written, because it would be encoded back as other bytes and reach another file.
//
// Saving replaces the file at the end of a chain of symbolic links: by renaming a new file over
// it (a failed or killed save leaves the old file as it was), or, where the rename would lose
// something (hard links, owner, attributes, an unwritable folder), by writing in place behind a
// recovery copy that a cut-short save leaves for the next load to report. A copy records its
// length, digest and the file it was made from, and is used only when it checks out
// (file_services.cpp describes its format).
//
// SIGTERM, SIGINT and SIGHUP end the program during a save only once nothing is left half-done.
// What the caller tells the user about a failure is left to the caller.
#include <QList>
#include <QString>
#include <QStringList>

#include "document/working_document.h"

namespace tessivane {

struct FileError {
    enum class Kind {
        None,
        NotWritable,         // the target file is read-only or not writable by this user
        NotRegularFile,      // the path names a folder, a device, a FIFO...
        InvalidName,         // the name is not valid UTF-8
        RecoveryCopyExists,  // a save of the file was cut short; reason: where its copy is
        Other,               // missing or unwritable folder, full disk, name too long...
    };
    Kind kind = Kind::None;
    QString reason;  // the system's words, for the user

    explicit operator bool() const { return kind != Kind::None; }
};

// What tells whether another program changed or replaced a file since it was read or saved.
struct FileStamp {
    unsigned long long device = 0;
    unsigned long long inode = 0;
    long long size = -1;
    long long modifiedNs = 0;
    long long changedNs = 0;  // the inode's change time, which no program can set back

    bool isValid() const { return size >= 0; }
    // Whether both name the same file, whatever became of its content.
    bool sameFile(const FileStamp& other) const {
        return isValid() && other.isValid() && device == other.device && inode == other.inode;
    }
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

// A file under the name of a recovery copy of a file that is not used as one: it is not a
// whole copy of the effective user's own, made from that very file (see file_services.cpp).
struct UntrustedCopy {
    QString path;
    QString reason;  // why it is not used, for the user

    friend bool operator==(const UntrustedCopy&, const UntrustedCopy&) = default;
};

// What is found under the names a save may have given a recovery copy of a file.
struct RecoveryCopies {
    QString ours;                    // a whole copy of the file's earlier content, or ""
    QList<UntrustedCopy> untrusted;  // never restored, never holding back a save
};

struct LoadResult {
    WorkingDocument document;
    FileError error;
    FileStamp stamp;       // of the file as it was read
    QString recoveryCopy;  // a copy a save cut short left of the file's earlier content, or ""
    QList<UntrustedCopy> untrustedCopies;  // files under a copy's name that are ignored
};

LoadResult loadDocument(const QString& path);

// What a save does about a recovery copy that an earlier save, cut short, left of the target.
// Untrusted copies never hold a save back; the save's own copy then goes to the state folder.
enum class RecoveryCopy {
    Refuse,   // nothing is written: the copy may hold the only good content
    Discard,  // every copy found, untrusted ones too, is removed, and the file saved over;
              // nothing is written when one stays
};

// Saves the document to the path; `saved`, when given, receives the stamp of the file written.
FileError saveDocument(const WorkingDocument& document, const QString& path,
                       RecoveryCopy existing = RecoveryCopy::Refuse, FileStamp* saved = nullptr);

// The copies found of the file at the path, beside it and in every state folder a save may have
// used ($XDG_STATE_HOME, $HOME and the home folder of the user database, which may differ from
// run to run).
RecoveryCopies recoveryCopiesOf(const QString& path);
// The whole recovery copy of our own that a save cut short left of the file, or "" for none.
QString recoveryCopyOf(const QString& path);
// Puts the old content that the copy of our own holds back into the file, in place, then
// removes that copy; untrusted copies are never used.
FileError restoreRecoveryCopy(const QString& path);
// Removes every copy found, untrusted ones too, keeping the file as it is; fails, naming it, when
// one stays.
FileError discardRecoveryCopy(const QString& path);

// Whether the name reaches the file it names. Qt decodes bytes that are not UTF-8 as replacement
// characters, which would be encoded back as other bytes; a name holding U+FFFD is taken as
// written unless the folder holds an entry whose bytes are not UTF-8 and read the same.
bool isFaithfulName(const QString& path);

// The stamp of the file at the path now; invalid when there is none.
FileStamp fileStamp(const QString& path);

// True exactly when a regular file exists at the path (a bare name resolves against the current
// folder). An empty path, a folder or a dangling link is no file.
bool fileExists(const QString& path);

// The pieces of a save that changing a folder's files shares.
namespace files {
// A fresh name for a scratch file of this process in a folder; what a killed process left under
// such names is removed by removeStaleScratchFiles (and by any later save into the folder).
std::string newScratchName();
void removeStaleScratchFiles(int folder);
// Gives a new, still empty file everything the old one has besides its content: owner, group,
// mode, extended attributes, Windows attributes. False with errno set when any of it cannot be.
bool copyMetadata(int from, int to);
}  // namespace files

}  // namespace tessivane
