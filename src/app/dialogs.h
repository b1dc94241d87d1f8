// SPDX-License-Identifier: MIT
#pragma once
// The one seam through which the program shows message boxes and file dialogs. The window
// supplies the real widgets; tests supply scripted answers, so no test ever waits on a dialog.
//
// DialogState is the one file dialog that every command shares: each dialog opens on the title,
// filters, file name and chosen filter that the previous one left.
#include <QString>
#include <QStringList>
#include <optional>

#include "document/desktop_ini.h"

namespace tessivane {

// The choices of each kind of file dialog, as QFileDialog takes them: "MIDI Sequence (*.mid
// *.rmi)". In the user's language, so asked for each use. "All files" is "*", which also shows
// files without an extension.
namespace filters {
QStringList templates();
QStringList sound();
QStringList image();
QStringList icon();  // files that hold icons: .ico, .dll, .exe
}  // namespace filters

struct DialogState {
    QString title;
    QStringList nameFilters;
    QString fileName;  // proposed on showing; the chosen full path after a confirmed dialog
    QString selectedNameFilter;  // the one the user last chose; the first when not among them

    // A command's own choices. The dialog is shared, so it offers the choice at the place the
    // user chose last, whatever the earlier command offered there.
    void setNameFilters(const QStringList& filters);
};

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
