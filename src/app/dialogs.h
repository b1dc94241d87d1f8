// SPDX-License-Identifier: MIT
#pragma once
// The one seam through which the program shows message boxes and file dialogs. The window
// supplies the real widgets; tests supply scripted answers, so no test ever waits on a dialog.
//
// DialogState is the one file dialog that every command shares: each dialog opens on the title,
// filter, file name and filter index that the previous one left.
#include <QString>
#include <QStringList>
#include <optional>

#include "document/desktop_ini.h"

namespace tessivane {

namespace filters {
// "description|pattern|description|pattern...", patterns separated by ";".
// In the user's language, so asked for each use.
QString templates();
QString sound();
QString image();
QString icon();  // files that hold icons: .ico, .dll, .exe
}  // namespace filters

struct DialogState {
    QString title;
    QString filter;       // in the "description|pattern|..." form above
    QString fileName;     // proposed on showing; the chosen full path after a confirmed dialog
    int filterIndex = 1;  // 1-based; the filter the user last chose
};

// The filter as Qt name filters, one per description: "MIDI Sequence (*.mid *.rmi)". "*.*" becomes
// "*" so that "All files" also shows files without an extension.
QStringList qtNameFilters(const QString& filter);

class Dialogs {
public:
    enum class Icon { Critical, Exclamation, Question, Information };
    // Yes is the default of YesNoCancel, No the default of YesNo. RestoreOrKeep ("Restore", "Keep
    // the file as it is") has no default: each loses what the other keeps.
    enum class Buttons { Ok, YesNoCancel, YesNo, RestoreOrKeep };
    enum class Answer { Ok, Yes, No, Cancel, Restore, Keep };

    virtual ~Dialogs() = default;
    // A modal message box; line breaks may be CR, LF or CR LF. Closing a Yes/No/Cancel box by
    // Escape or its close button answers Cancel, a Yes/No box No; a Restore/Keep box must be
    // answered.
    virtual Answer message(Icon icon, Buttons buttons, const QString& title,
                           const QString& text) = 0;
    // A modal Open or Save dialog over the shared state. Returns false when cancelled, leaving the
    // state's file name as it was; on confirmation stores the chosen path and filter index.
    virtual bool showOpen(DialogState& state) = 0;
    virtual bool showSave(DialogState& state) = 0;
    // A modal folder chooser that starts in the state's file name, a folder. Returns false when
    // cancelled; on confirmation stores the chosen folder.
    virtual bool showFolder(DialogState& state) = 0;
    // A modal form that shows the question (line breaks as in message) above the look a folder
    // is to have beside its page, filled from initial; each part may be left empty. The chooser
    // of its files starts in folder, where the look's relative names are. Returns the look as
    // the user left it on OK, nothing on Cancel.
    virtual std::optional<FolderLook> folderLook(const QString& title, const QString& question,
                                                 const FolderLook& initial,
                                                 const QString& folder) = 0;
};

}  // namespace tessivane
