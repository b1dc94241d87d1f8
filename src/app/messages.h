// SPDX-License-Identifier: MIT
#pragma once
// The words for everything the program tells the user, in one place, so that the window and the
// command-line tool say the same things. The document core and the file services only return
// outcomes (WriteOutcome, FileError, a short document); these functions turn each into the title,
// icon and text of its message box, through tr(). The command-line tool prints the text alone.
#include <QString>

#include "app/dialogs.h"
#include "document/writer.h"
#include "storage/file_services.h"
#include "storage/folder_use.h"

namespace tessivane {

struct Message {
    Dialogs::Icon icon;
    QString title;
    QString text;
};

namespace messages {

// A file chosen to open, or named at start-up, could not be read; also a name that is not UTF-8.
Message cannotRead(const QString& path, const FileError& error);
// A file chosen to open is not one of ours (its second line is not the marker).
Message notOurFile(const QString& path);
// A document of ours ended before every setting line was read.
Message loadError(const QString& name);
// A save failed or was refused: a read-only target, a name that is not UTF-8, a full disk...
Message saveFailed(const QString& path, const FileError& error);
// The writer refused the settings: a referenced file is missing, a text cannot be stored, the
// document is too short (currentFile names it).
Message writeRefused(const WriteOutcome& outcome, const QString& currentFile);
// A file about to be saved in place was changed by another program since it was read.
Message fileChanged(const QString& path);
// A file being opened has a recovery copy: a save of it was cut short. Restore, or keep the file?
Message recoveryCopyFound(const QString& path, const QString& copy);
// Files under the names of recovery copies of a file being opened that are not used: each with
// why. They are never restored and never stop a save.
QString untrustedCopies(const QString& path, const QList<UntrustedCopy>& copies);
Message untrustedCopiesFound(const QString& path, const QList<UntrustedCopy>& copies);
// The save-changes question.
Message saveChanges(const QString& currentFile);
// Using a template for a folder: what will change, for the user to confirm; the refusal or
// failure; and the result, with what is left to do on Windows where the volume keeps no
// attributes. Undoing it: the result, naming what was changed since and is kept.
Message folderUseQuestion(const QString& folder, const FolderUsePlan& plan);
Message folderUseFailed(const FolderUseError& error);
QString folderUseDone(const QString& folder, const QString& templateName,
                      const FolderUseResult& result);
QString folderUseUndone(const QString& folder, const FolderUseResult& result);
// The result of giving a folder a look without a page.
QString folderLookDone(const QString& folder, const FolderUseResult& result);
// Names of places on the Windows machine that the page uses, which this machine cannot check.
QString notCheckedHere(const QStringList& names);
// Said when a change begins by undoing one that an earlier run left unfinished.
QString unfinishedChangeSettled();
// How to put a saved template to use (lines separated by single CR characters), and who made it.
Message information();
Message about();

// The name of untitled document number n.
QString placeholderName(long long n);

}  // namespace messages
}  // namespace tessivane
