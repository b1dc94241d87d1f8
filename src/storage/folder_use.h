// SPDX-License-Identifier: MIT
#pragma once
// Using a template for a folder, and undoing it: the template written into the folder, the
// folder's Desktop.ini edited to show it (document/desktop_ini.h), and the attributes Windows
// needs set where the volume keeps them: read-only on the folder, hidden and system on
// Desktop.ini and the template. Windows reads Desktop.ini only in a folder marked so.
//
// Both files are written with saveDocument's rules (complete on disk before they replace the old
// one; owner, mode, extended and Windows attributes kept). Existing entries are found ignoring
// letter case, as Windows finds them, so a "desktop.ini" is edited rather than joined by a
// second file. What the use did is recorded in Desktop.ini itself; undoing it takes out exactly
// that: the keys it added, the template when it made the file and the file is still as written,
// the attribute bits it set. When a step fails, the steps before it are undone, so the folder is
// left as it was.
#include <QString>
#include <QStringList>

#include "document/working_document.h"

namespace tessivane {

// The template's name in the folder unless another is chosen.
inline const QString kFolderTemplateName = QStringLiteral("Folder.htt");

struct FolderUseError {
    enum class Kind {
        None,
        BadFolder,         // missing, not a folder, a name that is not UTF-8
        BadTemplateName,   // not a plain ASCII name ending in ".htt"
        IniNotUsable,      // Desktop.ini is a link, a folder, not text, too large...
        TemplateInTheWay,  // the template's name is taken by a file Tessivane did not write
        OtherTemplate,     // the folder already uses another template; reason is its name
        NothingToUndo,     // Desktop.ini holds no record of a use
        Failed,            // writing, removing or marking a file failed
    };
    Kind kind = Kind::None;
    QString path;    // the folder or the file concerned
    QString reason;  // the system's words, or what is wrong with the file

    explicit operator bool() const { return kind != Kind::None; }
};

// What a use would do, for the user to confirm.
struct FolderUsePlan {
    FolderUseError error;
    QString templatePath;          // the file that will be written
    bool templateExists = false;   // ... is there, and will be replaced
    bool iniExists = false;        // Desktop.ini is there and will be updated
    bool keepsAttributes = false;  // the volume keeps Windows attributes
};

struct FolderUseResult {
    FolderUseError error;
    bool keepsAttributes = false;  // the attributes were set (or cleared)
    // Undoing: what was changed since the use and is left as it is: the template's path, the
    // names of Desktop.ini's keys.
    QString keptTemplate;
    QStringList keptKeys;
};

FolderUsePlan planFolderUse(const QString& folder, const QString& templateName);
FolderUseResult useForFolder(const WorkingDocument& document, const QString& folder,
                             const QString& templateName);
FolderUseResult undoFolderUse(const QString& folder);

}  // namespace tessivane
