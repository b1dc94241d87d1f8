// SPDX-License-Identifier: MIT
#pragma once
// Using a template for a folder, and undoing it: the template written into the folder, the
// folder's Desktop.ini edited to show it (document/desktop_ini.h), and the attributes Windows
// needs set where the volume keeps them: read-only on the folder, hidden and system on
// Desktop.ini and the template. Windows reads Desktop.ini only in a folder marked so.
//
// Each use and each undoing is one transaction of the folder (storage/folder_transaction.h): a
// failure, a signal or a kill at any instant leaves the folder as it was or as the change made
// it, and one change of a folder runs at a time. Desktop.ini is written as a new file that takes
// the old one's owner, mode and attributes; the old template is never written through, so its
// hard links keep their content. Entries are found ignoring letter case, as Windows finds them:
// a "desktop.ini" is edited rather than joined by a second file, and a folder that holds two
// names Windows would take for one is refused. A Desktop.ini with other hard links, marked
// read-only, too large or holding a record that is not whole is refused; so is a template marked
// read-only.
//
// A template of Tessivane's already at the template's name is replaced only when asked, and is
// then kept in the folder under another name for undoing to bring back. What the use did is
// recorded in Desktop.ini itself; undoing it takes out exactly that: the keys it added, the
// template while it is as written and carries the marker line, the attribute bits it set.
#include <QString>
#include <QStringList>

#include "document/desktop_ini.h"
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
        TemplateExists,    // ... by a page of Tessivane's, replaced only when asked
        OtherTemplate,     // the folder already uses another template; reason is its name
        MissingFile,       // a picture or the sound the page names is not there; path: its name
        BadLook,           // a comment, icon index or colour the file cannot hold; reason: why
        NothingToUndo,     // Desktop.ini holds no record of a use
        Busy,              // another change of the folder did not end in time
        Unsettled,         // an unfinished change was found that cannot be settled; reason: why
        Failed,            // writing, removing or marking a file failed; the folder is as it was
        Stopped,           // a signal came first; the folder is as it was
        NotUndone,         // a step failed and undoing it failed too; reason: what is left where
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
    QString keptAs;                // ... and kept under this name, when it is not the use's own
    QStringList copies;            // the files that will be copied in: "name (from path)"
    QStringList unchecked;         // names of places on the Windows machine, not checked here
    FolderLook look;               // what Desktop.ini gives the folder now
    FolderLook recordedLook;       // ... of which an earlier use of Tessivane's set this
    bool iniExists = false;        // Desktop.ini is there and will be updated
    bool keepsAttributes = false;  // the volume keeps Windows attributes
};

struct FolderUseResult {
    FolderUseError error;
    bool keepsAttributes = false;  // the attributes were set (or cleared)
    int signal = 0;                // SIGTERM, SIGINT or SIGHUP came while it ran
    bool settledEarlier = false;   // a change an earlier run left unfinished was undone first
    QString keptAs;                // the page replaced, kept under this name (still, when undoing)
    QString restored;              // undoing: the page that was replaced, back at its name
    QStringList copies;            // using: the files copied in, "name (from path)"
    QStringList unchecked;         // using: names of places on the Windows machine
    QStringList keptCopies;        // undoing: files copied in and changed since, left in place
    // Undoing: what was changed since the use and is left as it is: the template's path, the
    // names of Desktop.ini's keys.
    QString keptTemplate;
    QStringList keptKeys;
};

// What replacing a page of Tessivane's at the template's name needs.
enum class ExistingTemplate { Refuse, Replace };

// What to give a folder.
struct FolderUseRequest {
    // The template to write; without one the folder keeps the page an earlier use gave it.
    const WorkingDocument* page = nullptr;
    QString templateName = kFolderTemplateName;
    // The whole look the folder is to have from Tessivane: its icon and list picture as paths
    // of this machine or names the folder resolves (brought in like the page's files), the
    // colour as 0x00BBGGRR.
    FolderLook look;
    ExistingTemplate existing = ExistingTemplate::Refuse;
    // The folder the document was saved in, for its %THISDIRPATH% names (empty when untitled).
    QString sourceFolder;
    // An empty part of the look keeps what an earlier use set, rather than taking it out.
    bool keepEarlierLook = false;
};

// What a folder's Desktop.ini gives it now.
struct FolderShown {
    FolderUseError error;
    QString page;  // the page it shows (PersistMoniker), "" for none
    FolderLook look;
};
FolderShown showFolder(const QString& folder);

FolderUsePlan planFolderUse(const QString& folder, const FolderUseRequest& request);
FolderUseResult useForFolder(const QString& folder, const FolderUseRequest& request);

inline FolderUsePlan planFolderUse(const WorkingDocument& document, const QString& folder,
                                   const QString& templateName, const QString& sourceFolder = {}) {
    return planFolderUse(folder,
                         {&document, templateName, {}, ExistingTemplate::Refuse, sourceFolder});
}
inline FolderUseResult useForFolder(const WorkingDocument& document, const QString& folder,
                                    const QString& templateName,
                                    ExistingTemplate existing = ExistingTemplate::Refuse,
                                    const QString& sourceFolder = {}) {
    return useForFolder(folder, {&document, templateName, {}, existing, sourceFolder});
}
FolderUseResult undoFolderUse(const QString& folder);

}  // namespace tessivane
