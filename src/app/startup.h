// SPDX-License-Identifier: MIT
#pragma once
// Start-up: the command-line text and the first working document.
#include <QString>

#include "app/messages.h"
#include "document/working_document.h"
#include "storage/file_services.h"

namespace tessivane {

// Every argument after the program's name joined with single spaces, so that a path with spaces
// typed without quotes still names one file. Taken from argv before Qt sees the arguments.
QString commandLineText(int argc, const char* const* argv);

struct FirstDocument {
    WorkingDocument document;
    QString sourceName;    // the file that was loaded; empty for a copy of the template
    Message warning;       // why a named file could not be read; its text is empty otherwise
    FileStamp stamp;       // of the loaded file
    QString recoveryCopy;  // of the loaded file, which a save cut short left; "" for none
    QList<UntrustedCopy> untrustedCopies;  // files under a copy's name that are ignored
};

// The file named by the command-line text when it exists and is one of ours, otherwise a copy of
// the built-in template. A named file that exists but cannot be read gives the template and a
// warning for the user; any other unusable name gives the template silently.
FirstDocument firstDocument(const QString& commandLineText);

}  // namespace tessivane
