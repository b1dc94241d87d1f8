// SPDX-License-Identifier: MIT
#include "app/file_commands.h"

#include <QFileInfo>

#include "app/messages.h"
#include "app/startup.h"
#include "document/template.h"
#include "document/writer.h"
#include "storage/file_services.h"
#include "storage/windows_files.h"

namespace tessivane {

FileCommands::FileCommands(Session& session, DocumentForm& form, Dialogs& dialogs)
    : session_(session), form_(form), dialogs_(dialogs) {}

void FileCommands::show(const Message& message) {
    dialogs_.message(message.icon, Dialogs::Buttons::Ok, message.title, message.text);
}

bool FileCommands::storeSettings() {
    const FolderViewSettings settings = form_.currentSettings();
    // %THISDIRPATH% is the folder of the file being edited; an untitled one has none yet.
    const QFileInfo current(form_.currentFile());
    WindowsNameCheck check(current.isAbsolute() ? current.absolutePath() : QString());
    const WriteOutcome outcome = writeSettings(
        session_.document, settings, [&check](const std::string& path) { return check(path); },
        &session_.shown);
    if (!check.notes().isEmpty()) {
        form_.showNote(check.notes().join(' '));
    }
    if (outcome.written()) {
        session_.shown = settings;
        return true;
    }
    show(messages::writeRefused(outcome, form_.currentFile()));
    return false;
}

bool FileCommands::writeTo(const QString& path, FileStamp* saved) {
    const FileError error = saveDocument(session_.document, path, RecoveryCopy::Refuse, saved);
    if (!error) {
        return true;
    }
    show(messages::saveFailed(path, error));
    return false;
}

bool FileCommands::confirmOverwrite(const QString& path) {
    if (!session_.stamp.isValid() || fileStamp(path) == session_.stamp) {
        return true;
    }
    const Message question = messages::fileChanged(path);
    return dialogs_.message(question.icon, Dialogs::Buttons::YesNo, question.title,
                            question.text) == Dialogs::Answer::Yes;
}

bool FileCommands::saveInPlaceOrAsk(Naming naming) {
    const QString current = form_.currentFile();
    if (fileExists(current)) {
        return confirmOverwrite(current) && writeTo(current, &session_.stamp);
    }
    DialogState& dialog = session_.dialog;
    dialog.title = tr("Save");
    dialog.setNameFilters(filters::templates());
    dialog.fileName = current;
    if (!dialogs_.showSave(dialog)) {
        return false;
    }
    const QString chosen = dialog.fileName;
    FileStamp saved;
    if (!writeTo(chosen, &saved)) {
        return false;
    }
    if (naming == Naming::UpdateCurrentFile) {
        form_.setCurrentFile(chosen);
        session_.stamp = saved;
    }
    return true;
}

void FileCommands::save() {
    if (storeSettings()) {
        saveInPlaceOrAsk(Naming::UpdateCurrentFile);
    }
}

void FileCommands::saveAs() {
    if (!storeSettings()) {
        return;
    }
    DialogState& dialog = session_.dialog;
    dialog.title = tr("Save As");
    dialog.setNameFilters(filters::templates());
    dialog.fileName = form_.currentFile();
    FileStamp saved;
    // Saved over the current file itself (by its name or another): that is its state now.
    if (dialogs_.showSave(dialog) && writeTo(dialog.fileName, &saved) &&
        saved.sameFile(fileStamp(form_.currentFile()))) {
        session_.stamp = saved;
    }
}

bool FileCommands::maybeSave() {
    const Message question = messages::saveChanges(form_.currentFile());
    const auto answer = dialogs_.message(question.icon, Dialogs::Buttons::YesNoCancel,
                                         question.title, question.text);
    switch (answer) {
        case Dialogs::Answer::No:
            return true;
        case Dialogs::Answer::Yes:
            return storeSettings() && saveInPlaceOrAsk(Naming::KeepCurrentFile);
        default:
            return false;
    }
}

void FileCommands::newFile() {
    if (!maybeSave()) {
        return;
    }
    ++session_.newNum;
    session_.document = WorkingDocument::fromTemplate();
    session_.stamp = {};
    showDocument(QString());
}

void FileCommands::open() {
    if (!maybeSave()) {
        return;
    }
    DialogState& dialog = session_.dialog;
    dialog.title = tr("Open");
    dialog.setNameFilters(filters::templates());
    if (dialogs_.showOpen(dialog)) {
        openFile(dialog.fileName);
    }
}

void FileCommands::openDropped(const QString& path) {
    if (!maybeSave()) {
        return;
    }
    openFile(path);
}

void FileCommands::start(const QString& commandLineText) {
    FirstDocument first = firstDocument(commandLineText);
    if (!first.warning.text.isEmpty()) {
        show(first.warning);
    }
    if (!first.untrustedCopies.isEmpty()) {
        show(messages::untrustedCopiesFound(first.sourceName, first.untrustedCopies));
    }
    if (!first.recoveryCopy.isEmpty()) {
        LoadResult loaded{std::move(first.document), {}, first.stamp, first.recoveryCopy, {}};
        if (settleRecoveryCopy(first.sourceName, loaded) && hasMarkerLine(loaded.document)) {
            first.document = std::move(loaded.document);
            first.stamp = loaded.stamp;
        } else {
            first = {WorkingDocument::fromTemplate(), {}, {}, {}, {}, {}};
        }
    }
    session_.document = std::move(first.document);
    session_.stamp = first.stamp;
    showDocument(first.sourceName);
    if (!first.sourceName.isEmpty()) {
        form_.setCurrentFile(first.sourceName);
    }
}

bool FileCommands::settleRecoveryCopy(const QString& path, LoadResult& loaded) {
    const Message question = messages::recoveryCopyFound(path, loaded.recoveryCopy);
    const auto answer = dialogs_.message(question.icon, Dialogs::Buttons::RestoreOrKeep,
                                         question.title, question.text);
    if (answer != Dialogs::Answer::Restore && answer != Dialogs::Answer::Keep) {
        return false;
    }
    const FileError error =
        answer == Dialogs::Answer::Restore ? restoreRecoveryCopy(path) : discardRecoveryCopy(path);
    if (error) {
        show(messages::saveFailed(path, error));
        return false;
    }
    if (answer == Dialogs::Answer::Restore) {
        loaded = loadDocument(path);
        if (loaded.error) {
            show(messages::cannotRead(path, loaded.error));
            return false;
        }
    }
    loaded.recoveryCopy.clear();
    return true;
}

void FileCommands::showDocument(const QString& sourceName) {
    form_.showDocument(sourceName);
    session_.shown = form_.currentSettings();
}

void FileCommands::openFile(const QString& path) {
    LoadResult loaded = loadDocument(path);
    if (loaded.error) {
        show(messages::cannotRead(path, loaded.error));
        return;
    }
    if (!loaded.untrustedCopies.isEmpty()) {
        show(messages::untrustedCopiesFound(path, loaded.untrustedCopies));
    }
    if (!loaded.recoveryCopy.isEmpty() && !settleRecoveryCopy(path, loaded)) {
        return;
    }
    if (loaded.document.size() < 2) {
        return;  // too short to carry the marker: nothing to say, nothing changes
    }
    if (!hasMarkerLine(loaded.document)) {
        show(messages::notOurFile(path));
        return;
    }
    session_.document = std::move(loaded.document);
    session_.stamp = loaded.stamp;
    showDocument(path);
    form_.setCurrentFile(path);
}

void FileCommands::showInformation() {
    show(messages::information());
}

void FileCommands::about() {
    show(messages::about());
}

}  // namespace tessivane
