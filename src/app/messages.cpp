// SPDX-License-Identifier: MIT
#include "app/messages.h"

#include <optional>

#include <QCoreApplication>
#include <QFileInfo>

namespace tessivane::messages {
namespace {

// The titles that several messages share.
QString fileAccessError() {
    return QCoreApplication::translate("Messages", "File Access Error");
}
QString fileLoadError() {
    return QCoreApplication::translate("Messages", "File Load Error");
}
QString useForFolderTitle() {
    return QCoreApplication::translate("Messages", "Use for Folder");
}

Message invalidName(const QString& title, const QString& path) {
    return {
        Dialogs::Icon::Critical, title,
        QCoreApplication::translate("Messages", "The file name '%1' is not valid UTF-8").arg(path)};
}

}  // namespace

Message cannotRead(const QString& path, const FileError& error) {
    if (error.kind == FileError::Kind::InvalidName) {
        Message message = invalidName(fileLoadError(), path);
        message.icon = Dialogs::Icon::Exclamation;
        return message;
    }
    return {Dialogs::Icon::Exclamation, fileLoadError(),
            QCoreApplication::translate("Messages", "The file '%1' could not be read: %2")
                .arg(path, error.reason)};
}

Message notOurFile(const QString& path) {
    return {Dialogs::Icon::Exclamation, fileLoadError(),
            QCoreApplication::translate(
                "Messages",
                "The file '%1' is not a currently supported or is corrupted.  Make a new "
                "file with this program.")
                .arg(path)};
}

Message loadError(const QString& name) {
    return {Dialogs::Icon::Critical, QCoreApplication::translate("Messages", "Load Error"),
            QCoreApplication::translate("Messages",
                                        "There was an error during loading the HTT file '%1'.")
                .arg(name)};
}

Message saveFailed(const QString& path, const FileError& error) {
    switch (error.kind) {
        case FileError::Kind::NotWritable:
            return {Dialogs::Icon::Critical, fileAccessError(),
                    QCoreApplication::translate("Messages", "'%1' has the read only attribute set.")
                        .arg(path)};
        case FileError::Kind::InvalidName:
            return invalidName(fileAccessError(), path);
        case FileError::Kind::RecoveryCopyExists:
            return {Dialogs::Icon::Critical, fileAccessError(),
                    QCoreApplication::translate(
                        "Messages",
                        "'%1' was not saved: an earlier save of it was cut short, and the "
                        "file as it was before that save is kept in '%2'. Opening the file "
                        "offers to restore it.")
                        .arg(path, error.reason)};
        default:
            return {Dialogs::Icon::Critical, fileAccessError(),
                    QCoreApplication::translate("Messages", "'%1' could not be saved: %2")
                        .arg(path, error.reason)};
    }
}

Message writeRefused(const WriteOutcome& outcome, const QString& currentFile) {
    using Status = WriteOutcome::Status;
    switch (outcome.status) {
        case Status::MissingFile:
            return {Dialogs::Icon::Exclamation,
                    QCoreApplication::translate("Messages", "File Does Not Exist"),
                    QCoreApplication::translate(
                        "Messages", "The file '%1' does not exist.  Please specify another file")
                        .arg(QString::fromStdString(outcome.detail))};
        case Status::TextNotStorable:
            return {Dialogs::Icon::Exclamation,
                    QCoreApplication::translate("Messages", "Text Cannot Be Stored"),
                    QCoreApplication::translate(
                        "Messages",
                        "The text '%1' cannot be stored in this file: it contains a line "
                        "break or a character that the file's 8-bit encoding cannot hold. "
                        "Nothing was saved.")
                        .arg(QString::fromStdString(outcome.detail))};
        case Status::DocumentTooShort:
        case Status::Written:
            break;
    }
    return saveFailed(currentFile,
                      {FileError::Kind::Other,
                       QCoreApplication::translate(
                           "Messages", "the document is too short to hold the settings")});
}

Message fileChanged(const QString& path) {
    return {
        Dialogs::Icon::Question, QCoreApplication::translate("Messages", "File Changed"),
        QCoreApplication::translate(
            "Messages", "'%1' was changed by another program since it was opened. Overwrite it?")
            .arg(path)};
}

Message recoveryCopyFound(const QString& path, const QString& copy) {
    return {Dialogs::Icon::Question, QCoreApplication::translate("Messages", "Recovery Copy"),
            QCoreApplication::translate(
                "Messages",
                "A save of '%1' was cut short, so the file may hold part of the new "
                "content and part of the old. A copy of the file as it was before that "
                "save is kept in '%2'.\n\nRestore the file from that copy, or keep the file "
                "as it is? Either way the copy is then removed.")
                .arg(path, copy)};
}

QString untrustedCopies(const QString& path, const QList<UntrustedCopy>& copies) {
    QString text = QCoreApplication::translate(
                       "Messages",
                       "Files named like a recovery copy of '%1' are ignored: they are "
                       "not restored and do not stop a save.")
                       .arg(path);
    for (const UntrustedCopy& copy : copies) {
        text +=
            ' ' + QCoreApplication::translate("Messages", "'%1': %2.").arg(copy.path, copy.reason);
    }
    return text;
}

Message untrustedCopiesFound(const QString& path, const QList<UntrustedCopy>& copies) {
    return {Dialogs::Icon::Exclamation, QCoreApplication::translate("Messages", "Recovery Copy"),
            untrustedCopies(path, copies)};
}

Message saveChanges(const QString& currentFile) {
    return {Dialogs::Icon::Question, QCoreApplication::translate("Messages", "Save Changes"),
            QCoreApplication::translate("Messages", "Save changes to '%1'?").arg(currentFile)};
}

Message folderUseQuestion(const QString& folder, const FolderUsePlan& plan) {
    const QString name = QFileInfo(plan.templatePath).fileName();
    QString text =
        QCoreApplication::translate("Messages", "Use this template for the folder '%1'?")
            .arg(folder) +
        "\r\r" +
        (plan.templateExists ? QCoreApplication::translate("Messages", "%1 will be replaced.")
                             : QCoreApplication::translate("Messages", "%1 will be written."))
            .arg(name) +
        "\r";
    if (!plan.keptAs.isEmpty()) {
        text +=
            QCoreApplication::translate(
                "Messages", "The page there now is kept as %1, and undoing the use brings it back.")
                .arg(plan.keptAs) +
            "\r";
    }
    if (!plan.copies.isEmpty()) {
        text += QCoreApplication::translate("Messages",
                                            "Copied into the folder, for Windows to find: %1.")
                    .arg(plan.copies.join(", ")) +
                "\r";
    }
    if (!plan.unchecked.isEmpty()) {
        text += notCheckedHere(plan.unchecked) + "\r";
    }
    text +=
        (plan.iniExists ? QCoreApplication::translate("Messages", "Desktop.ini will be updated.")
                        : QCoreApplication::translate("Messages", "Desktop.ini will be created.")) +
        "\r";
    text += plan.keepsAttributes
                ? QCoreApplication::translate(
                      "Messages",
                      "The folder will be marked read-only, Desktop.ini and %1 hidden and "
                      "system.")
                      .arg(name)
                : QCoreApplication::translate(
                      "Messages",
                      "This volume keeps no Windows attributes: on Windows, the folder "
                      "must then be marked with attrib +r \"%1\".")
                      .arg(folder);
    return {Dialogs::Icon::Question, useForFolderTitle(), text};
}

namespace {

// A use refused before the folder was touched: what stands in its way. Nothing for an error
// that came while the folder was being changed, or after.
std::optional<Message> useRefused(const FolderUseError& error) {
    using Kind = FolderUseError::Kind;
    const QString& path = error.path;
    const QString unchanged = QCoreApplication::translate("Messages", "Nothing was changed.");
    const auto refused = [](const QString& text) -> std::optional<Message> {
        return Message{Dialogs::Icon::Exclamation, useForFolderTitle(), text};
    };
    switch (error.kind) {
        case Kind::BadFolder:
            return refused(
                QCoreApplication::translate("Messages", "The folder '%1' cannot be used: %2.")
                    .arg(path, error.reason));
        case Kind::BadTemplateName:
            return refused(
                QCoreApplication::translate("Messages",
                                            "'%1' cannot be the template's name: use a plain name "
                                            "that ends in .htt, without \\ / : * ? \" < > | % #.")
                    .arg(path));
        case Kind::IniNotUsable:
        case Kind::TemplateInTheWay:
            return refused(QCoreApplication::translate("Messages", "'%1' cannot be changed: %2. %3")
                               .arg(path, error.reason, unchanged));
        case Kind::TemplateExists:
            return refused(
                QCoreApplication::translate("Messages",
                                            "'%1' is a page of Tessivane's that this use would "
                                            "replace; it is replaced (and kept for undoing) only "
                                            "when asked. %2")
                    .arg(path, unchanged));
        case Kind::BadLook:
            return refused(QCoreApplication::translate(
                               "Messages", "The folder '%1' cannot be given that: %2. %3")
                               .arg(path, error.reason, unchanged));
        case Kind::Busy:
            return refused(
                QCoreApplication::translate("Messages",
                                            "Another change of the folder '%1' is under way; try "
                                            "again when it has ended. %2")
                    .arg(path, unchanged));
        case Kind::OtherTemplate:
            return refused(QCoreApplication::translate(
                               "Messages",
                               "The folder '%1' already uses '%2' from Tessivane; undo "
                               "that first. %3")
                               .arg(path, error.reason, unchanged));
        case Kind::NothingToUndo:
            return refused(
                QCoreApplication::translate("Messages",
                                            "The folder '%1' does not use a template from "
                                            "Tessivane: its Desktop.ini holds no record of one. %2")
                    .arg(path, unchanged));
        case Kind::MissingFile:
        case Kind::Unsettled:
        case Kind::Stopped:
        case Kind::NotUndone:
        case Kind::Failed:
        case Kind::None:
            break;
    }
    return std::nullopt;
}

}  // namespace

Message folderUseFailed(const FolderUseError& error) {
    using Kind = FolderUseError::Kind;
    if (auto refused = useRefused(error)) {
        return *refused;
    }
    const QString& path = error.path;
    switch (error.kind) {
        case Kind::MissingFile:
            return writeRefused({WriteOutcome::Status::MissingFile, path.toStdString()}, {});
        case Kind::Unsettled:
            return {Dialogs::Icon::Critical, useForFolderTitle(),
                    QCoreApplication::translate(
                        "Messages",
                        "'%1' records a change of the folder that did not end, and it "
                        "cannot be trusted: %2. Look at the folder and remove that file "
                        "before changing the folder again. %3")
                        .arg(path, error.reason,
                             QCoreApplication::translate("Messages", "Nothing was changed."))};
        case Kind::Stopped:
            return {Dialogs::Icon::Exclamation, useForFolderTitle(),
                    QCoreApplication::translate(
                        "Messages",
                        "The change of the folder '%1' was stopped before it was "
                        "complete; the folder was left as it was.")
                        .arg(path)};
        case Kind::NotUndone:
            return {Dialogs::Icon::Critical, useForFolderTitle(),
                    QCoreApplication::translate(
                        "Messages",
                        "The folder '%1' could not be changed, and undoing the change "
                        "failed too: %2. The next use or undoing of the folder finishes "
                        "undoing it.")
                        .arg(path, error.reason)};
        default:  // the refusals above, and a failure of a step
            break;
    }
    return {Dialogs::Icon::Critical, useForFolderTitle(),
            QCoreApplication::translate(
                "Messages", "'%1' could not be changed: %2. The folder was left as it was.")
                .arg(path, error.reason)};
}

namespace {

// What a use of a folder did besides its headline, and what is left to do on Windows.
QString useDetails(const QString& folder, const FolderUseResult& result) {
    QString details;
    if (!result.keptAs.isEmpty()) {
        details +=
            ' ' + QCoreApplication::translate("Messages", "The page it replaced is kept as '%1'.")
                      .arg(result.keptAs);
    }
    if (!result.copies.isEmpty()) {
        details += ' ' + QCoreApplication::translate("Messages", "Copied into the folder: %1.")
                             .arg(result.copies.join(", "));
    }
    if (!result.unchecked.isEmpty()) {
        details += ' ' + notCheckedHere(result.unchecked);
    }
    if (result.settledEarlier) {
        details += ' ' + unfinishedChangeSettled();
    }
    if (!result.keepsAttributes) {
        details += ' ' + QCoreApplication::translate(
                             "Messages",
                             "Its volume keeps no Windows attributes: on Windows, run "
                             "attrib +r \"%1\".")
                             .arg(folder);
    }
    return details;
}

}  // namespace

QString folderUseDone(const QString& folder, const QString& templateName,
                      const FolderUseResult& result) {
    return QCoreApplication::translate("Messages", "The folder '%1' now shows %2.")
               .arg(folder, templateName) +
           useDetails(folder, result);
}

QString folderLookDone(const QString& folder, const FolderUseResult& result) {
    return QCoreApplication::translate("Messages", "The folder '%1' has its new look.")
               .arg(folder) +
           useDetails(folder, result);
}

QString notCheckedHere(const QStringList& names) {
    return QCoreApplication::translate(
               "Messages", "Places on the Windows machine, not checked on this machine: %1.")
        .arg(names.join(", "));
}

QString unfinishedChangeSettled() {
    return QCoreApplication::translate(
        "Messages",
        "A change of the folder that an earlier run left unfinished was undone "
        "first.");
}

QString folderUseUndone(const QString& folder, const FolderUseResult& result) {
    QString text = QCoreApplication::translate(
                       "Messages", "The folder '%1' no longer uses a template from Tessivane.")
                       .arg(folder);
    if (!result.restored.isEmpty()) {
        text +=
            ' ' + QCoreApplication::translate("Messages", "'%1' is the page it had before again.")
                      .arg(result.restored);
    }
    if (!result.keptTemplate.isEmpty()) {
        text += ' ' + QCoreApplication::translate("Messages", "'%1' was changed since and is kept.")
                          .arg(result.keptTemplate);
    }
    if (!result.keptAs.isEmpty()) {
        text +=
            ' ' + QCoreApplication::translate("Messages", "The page it had before stays in '%1'.")
                      .arg(result.keptAs);
    }
    for (const QString& copy : result.keptCopies) {
        text += ' ' + QCoreApplication::translate(
                          "Messages", "'%1' was copied in and changed since, and is kept.")
                          .arg(copy);
    }
    for (const QString& key : result.keptKeys) {
        text += ' ' + QCoreApplication::translate(
                          "Messages", "%1 in Desktop.ini was changed since and is kept.")
                          .arg(key);
    }
    if (result.settledEarlier) {
        text += ' ' + unfinishedChangeSettled();
    }
    return text;
}

Message information() {
    return {Dialogs::Icon::Information, QCoreApplication::translate("Messages", "Information"),
            QCoreApplication::translate(
                "Messages",
                "1.  Create or edit an existing HTT file (only one previously saved by "
                "this)\r2.  Change the line 'PersistMoniker=file://Folder.htt' to "
                "'PersistMoniker=file://Yourfile.htt' in the Desktop.ini file\r\rIn the "
                "description box, you can type '%THISDIRNAME%' for the name of the folder "
                "or '%THISDIRPATH%' for the folder's full path.")};
}

Message about() {
    return {Dialogs::Icon::Information, QCoreApplication::translate("Messages", "About"),
            QCoreApplication::translate("Messages", "Tessivane, by the Tessivane authors, 2026")};
}

QString placeholderName(long long n) {
    return QCoreApplication::translate("Messages", "HyperText Template%1.htt").arg(n);
}

}  // namespace tessivane::messages
