// SPDX-License-Identifier: MIT
#pragma once
// The File and Help commands: Save, Save As, the save-changes question, New, Open, Information
// and About.
//
// They work on a Session through two seams (app/session.h): DocumentForm, the window that holds
// the settings and shows the current file, and Dialogs, which shows every message box and file
// dialog. Each command tells the user about its own failures; callers only test the results.
#include <QCoreApplication>
#include <QString>

#include "app/dialogs.h"
#include "app/messages.h"
#include "app/session.h"
#include "storage/file_services.h"

namespace tessivane {

class FileCommands {
    Q_DECLARE_TR_FUNCTIONS(FileCommands)

public:
    FileCommands(Session& session, DocumentForm& form, Dialogs& dialogs);

    // Start-up: shows the file named by the command-line text when it is one of ours (asking
    // first about a recovery copy of it), otherwise the built-in template.
    void start(const QString& commandLineText);
    void save();
    void saveAs();
    // The save-changes question: true when the caller may go on (No, or Yes and saved), false when
    // it must stop (Cancel, or a save that did not happen).
    bool maybeSave();
    void newFile();
    void open();
    // Open without its dialog, for a file dropped on the window: the question, then the file.
    void openDropped(const QString& path);
    void showInformation();
    void about();

    // The writer over the form's settings: checks the referenced files and patches the six
    // setting lines, telling the user when it refuses.
    bool storeSettings();

private:
    enum class Naming { UpdateCurrentFile, KeepCurrentFile };
    // Writes in place when the current file exists, otherwise through the "Save" dialog.
    bool saveInPlaceOrAsk(Naming naming);
    bool writeTo(const QString& path, FileStamp* saved);
    // Whether the current file may be overwritten: it is as it was last read or saved, or the
    // user says so.
    bool confirmOverwrite(const QString& path);
    void openFile(const QString& path);
    // A file that a save cut short left a recovery copy of: asks whether to restore the copy or
    // keep the file, and does it, reloading a restored file. False when the file is not to be
    // shown (the question was not answered, or what it asked for failed and the user was told).
    bool settleRecoveryCopy(const QString& path, LoadResult& loaded);
    // Shows the session's document in the form and records what it shows.
    void showDocument(const QString& sourceName);
    void show(const Message& message);

    Session& session_;
    DocumentForm& form_;
    Dialogs& dialogs_;
};

}  // namespace tessivane
