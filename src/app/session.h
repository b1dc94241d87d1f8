// SPDX-License-Identifier: MIT
#pragma once
// What the window, the file commands and the folder commands share: the Session (the working
// document, the untitled-document counter, the shared file dialog and the stamp of the current
// file) and DocumentForm, what the commands need from the window that shows it.
#include <QString>

#include "app/dialogs.h"
#include "document/settings.h"
#include "document/working_document.h"
#include "storage/file_services.h"

namespace tessivane {

struct Session {
    WorkingDocument document;
    long long newNum = 1;  // numbers untitled documents; keeps counting, there is no upper limit
    DialogState dialog;
    FileStamp stamp;  // the current file as it was last read or saved; invalid for none
    // The settings the document showed when it was read or last written: the writer leaves alone
    // the setting lines whose values are still these.
    FolderViewSettings shown;
};

// What the commands need from the main window.
class DocumentForm {
public:
    virtual ~DocumentForm() = default;
    // The settings as the controls hold them.
    virtual FolderViewSettings currentSettings() const = 0;
    // Shows the session's document in the controls and gives it the placeholder name.
    virtual void showDocument(const QString& sourceName) = 0;
    virtual QString currentFile() const = 0;
    virtual void setCurrentFile(const QString& path) = 0;
    // Shows a note for a while where the current file is shown.
    virtual void showNote(const QString& text) = 0;
};

}  // namespace tessivane
