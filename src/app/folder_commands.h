// SPDX-License-Identifier: MIT
#pragma once
// File > Use for Folder: the document as Save would write it, used for a folder the user picks
// (storage/folder_use.h), after the user has confirmed what will change.
#include <QString>
#include <optional>

#include "app/dialogs.h"
#include "app/file_commands.h"
#include "app/session.h"

namespace tessivane {

class FolderCommands {
    Q_DECLARE_TR_FUNCTIONS(FolderCommands)

public:
    FolderCommands(Session& session, FileCommands& files, Dialogs& dialogs);

    struct Done {
        QString folder;
        QString status;  // the result, for the status bar
    };
    // Runs the writer (which may refuse), asks for a folder starting at startFolder, shows what
    // will change beside the folder's look (comment, icon, list picture and text colour) for the
    // user to change and, when the user agrees, gives the folder the page and that look. A refusal
    // or failure is told in a message box; nothing when the user cancelled or it failed.
    // documentFolder is the folder of the file being edited (empty when untitled), where its
    // %THISDIRPATH% names are.
    std::optional<Done> useForFolder(const QString& startFolder, const QString& documentFolder);

private:
    Session& session_;
    FileCommands& files_;
    Dialogs& dialogs_;
    // The folder chooser keeps its own state: the shared file dialog's name stays a file's.
    DialogState folderDialog_;
};

}  // namespace tessivane
