// SPDX-License-Identifier: MIT
#include "app/file_commands.h"

#include "controls/utility_services.h"
#include "document/messages.h"
#include "document/template.h"
#include "document/writer.h"

namespace tessivane {
namespace {

QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

std::string utf8(const QString& text) {
    return text.toStdString();
}

}  // namespace

FileCommands::FileCommands(Session& session, DocumentForm& form, Dialogs& dialogs)
    : session_(session), form_(form), dialogs_(dialogs) {}

void FileCommands::show(Dialogs::Icon icon, std::string_view title, const std::string& text) {
    dialogs_.message(icon, Dialogs::Buttons::Ok, qs(title), qs(text));
}

bool FileCommands::formToDisk() {
    const FolderViewSettings settings = form_.currentSettings();
    const WriteOutcome outcome = writeSettings(
        session_.document, settings,
        [](const std::string& path) { return fileExists(QString::fromStdString(path)); });
    using Status = WriteOutcome::Status;
    switch (outcome.status) {
        case Status::Written:
            return true;
        case Status::MissingFile:
            show(Dialogs::Icon::Exclamation, messages::kFileDoesNotExistTitle,
                 messages::fileDoesNotExist(outcome.detail));
            return false;
        case Status::TextNotStorable:
            show(Dialogs::Icon::Exclamation, messages::kTextNotStorableTitle,
                 messages::textNotStorable(outcome.detail));
            return false;
        case Status::DocumentTooShort:
            show(Dialogs::Icon::Critical, messages::kFileAccessErrorTitle,
                 messages::saveFailed(utf8(form_.currentFile()),
                                      "the document is too short to hold the settings"));
            return false;
    }
    return false;
}

bool FileCommands::writeTo(const QString& path) {
    const FileError error = saveDocument(session_.document, path);
    if (!error) {
        return true;
    }
    if (error.kind == FileError::Kind::NotWritable) {
        show(Dialogs::Icon::Critical, messages::kFileAccessErrorTitle,
             messages::readOnly(utf8(path)));
    } else if (error.kind == FileError::Kind::InvalidName) {
        show(Dialogs::Icon::Critical, messages::kFileAccessErrorTitle, utf8(error.reason));
    } else {
        show(Dialogs::Icon::Critical, messages::kFileAccessErrorTitle,
             messages::saveFailed(utf8(path), utf8(error.reason)));
    }
    return false;
}

bool FileCommands::confirmOverwrite(const QString& path) {
    if (!session_.stamp.isValid() || fileStamp(path) == session_.stamp) {
        return true;
    }
    return dialogs_.message(Dialogs::Icon::Question, Dialogs::Buttons::YesNo,
                            qs(messages::kFileChangedTitle),
                            qs(messages::fileChanged(utf8(path)))) == Dialogs::Answer::Yes;
}

bool FileCommands::saveInPlaceOrAsk(Naming naming) {
    const QString current = form_.currentFile();
    if (fileExists(current)) {
        if (!confirmOverwrite(current) || !writeTo(current)) {
            return false;
        }
        session_.stamp = fileStamp(current);
        return true;
    }
    DialogState& dialog = session_.dialog;
    dialog.title = QStringLiteral("Save");
    dialog.filter = filters::kTemplate;
    dialog.fileName = current;
    if (!dialogs_.showSave(dialog)) {
        return false;
    }
    const QString chosen = dialog.fileName;
    if (!writeTo(chosen)) {
        return false;
    }
    if (naming == Naming::UpdateCurrentFile) {
        form_.setCurrentFile(chosen);
        session_.stamp = fileStamp(chosen);
    }
    return true;
}

void FileCommands::save() {
    if (formToDisk()) {
        saveInPlaceOrAsk(Naming::UpdateCurrentFile);
    }
}

void FileCommands::saveAs() {
    if (!formToDisk()) {
        return;
    }
    DialogState& dialog = session_.dialog;
    dialog.title = QStringLiteral("Save As");
    dialog.filter = filters::kTemplate;
    dialog.fileName = form_.currentFile();
    if (dialogs_.showSave(dialog)) {
        writeTo(dialog.fileName);
    }
}

int FileCommands::saveQ() {
    const auto answer = dialogs_.message(Dialogs::Icon::Question, Dialogs::Buttons::YesNoCancel,
                                         qs(messages::kSaveChangesTitle),
                                         qs(messages::saveChanges(utf8(form_.currentFile()))));
    switch (answer) {
        case Dialogs::Answer::No:
            return kGoOn;
        case Dialogs::Answer::Yes:
            return formToDisk() && saveInPlaceOrAsk(Naming::KeepCurrentFile) ? kGoOn : kStop;
        default:
            return kStop;
    }
}

void FileCommands::newDocument() {
    if (saveQ() == kStop) {
        return;
    }
    ++session_.newNum;
    ListCopy(session_.document);
    session_.stamp = {};
    form_.SetForm(QString());
}

void FileCommands::open() {
    if (saveQ() == kStop) {
        return;
    }
    DialogState& dialog = session_.dialog;
    dialog.title = QStringLiteral("Open");
    dialog.filter = filters::kTemplate;
    if (dialogs_.showOpen(dialog)) {
        openFile(dialog.fileName);
    }
}

void FileCommands::openDropped(const QString& path) {
    if (saveQ() == kStop) {
        return;
    }
    openFile(path);
}

void FileCommands::openFile(const QString& path) {
    LoadResult loaded = loadDocument(path);
    if (loaded.error) {
        show(Dialogs::Icon::Exclamation, messages::kFileLoadErrorTitle,
             loaded.error.kind == FileError::Kind::InvalidName
                 ? utf8(loaded.error.reason)
                 : messages::cannotRead(utf8(path), utf8(loaded.error.reason)));
        return;
    }
    if (loaded.document.size() < 2) {
        return;  // too short to carry the marker: nothing to say, nothing changes
    }
    if (!hasMarkerLine(loaded.document)) {
        show(Dialogs::Icon::Exclamation, messages::kFileLoadErrorTitle,
             messages::notOurFile(utf8(path)));
        return;
    }
    session_.document = std::move(loaded.document);
    session_.stamp = loaded.stamp;
    form_.SetForm(path);
    form_.setCurrentFile(path);
}

void FileCommands::information() {
    show(Dialogs::Icon::Information, messages::kInformationTitle, messages::information());
}

void FileCommands::about() {
    show(Dialogs::Icon::Information, messages::kAboutTitle, messages::about());
}

}  // namespace tessivane
