// SPDX-License-Identifier: MIT
#include "app/messages.h"

#include <QCoreApplication>

namespace tessivane::messages {
namespace {

class Words {
    Q_DECLARE_TR_FUNCTIONS(Messages)

public:
    static QString fileAccessError() { return tr("File Access Error"); }
    static QString fileLoadError() { return tr("File Load Error"); }
};

QString text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

Message invalidName(const QString& title, const QString& path) {
    return {Dialogs::Icon::Critical, title,
            Words::tr("The file name '%1' is not valid UTF-8").arg(path)};
}

}  // namespace

Message cannotRead(const QString& path, const FileError& error) {
    if (error.kind == FileError::Kind::InvalidName) {
        Message message = invalidName(Words::fileLoadError(), path);
        message.icon = Dialogs::Icon::Exclamation;
        return message;
    }
    return {Dialogs::Icon::Exclamation, Words::fileLoadError(),
            Words::tr("The file '%1' could not be read: %2").arg(path, error.reason)};
}

Message notOurFile(const QString& path) {
    return {Dialogs::Icon::Exclamation, Words::fileLoadError(),
            Words::tr("The file '%1' is not a currently supported or is corrupted.  Make a new "
                      "file with this program.")
                .arg(path)};
}

Message loadError(const QString& name) {
    return {Dialogs::Icon::Critical, Words::tr("Load Error"),
            Words::tr("There was an error during loading the HTT file '%1'.").arg(name)};
}

Message saveFailed(const QString& path, const FileError& error) {
    switch (error.kind) {
        case FileError::Kind::NotWritable:
            return {Dialogs::Icon::Critical, Words::fileAccessError(),
                    Words::tr("'%1' has the read only attribute set.").arg(path)};
        case FileError::Kind::InvalidName:
            return invalidName(Words::fileAccessError(), path);
        case FileError::Kind::RecoveryCopyExists:
            return {Dialogs::Icon::Critical, Words::fileAccessError(),
                    Words::tr("'%1' was not saved: an earlier save of it was cut short, and the "
                              "file as it was before that save is kept in '%2'. Opening the file "
                              "offers to restore it.")
                        .arg(path, error.reason)};
        default:
            return {Dialogs::Icon::Critical, Words::fileAccessError(),
                    Words::tr("'%1' could not be saved: %2").arg(path, error.reason)};
    }
}

Message writeRefused(const WriteOutcome& outcome, const QString& currentFile) {
    using Status = WriteOutcome::Status;
    switch (outcome.status) {
        case Status::MissingFile:
            return {Dialogs::Icon::Exclamation, Words::tr("File Does Not Exist"),
                    Words::tr("The file '%1' does not exist.  Please specify another file")
                        .arg(text(outcome.detail))};
        case Status::TextNotStorable:
            return {Dialogs::Icon::Exclamation, Words::tr("Text Cannot Be Stored"),
                    Words::tr("The text '%1' cannot be stored in this file: it contains a line "
                              "break or a character that the file's 8-bit encoding cannot hold. "
                              "Nothing was saved.")
                        .arg(text(outcome.detail))};
        case Status::DocumentTooShort:
        case Status::Written:
            break;
    }
    return saveFailed(currentFile, {FileError::Kind::Other,
                                    Words::tr("the document is too short to hold the settings")});
}

Message fileChanged(const QString& path) {
    return {Dialogs::Icon::Question, Words::tr("File Changed"),
            Words::tr("'%1' was changed by another program since it was opened. Overwrite it?")
                .arg(path)};
}

Message recoveryCopyFound(const QString& path, const QString& copy) {
    return {Dialogs::Icon::Question, Words::tr("Recovery Copy"),
            Words::tr("A save of '%1' was cut short, so the file may hold part of the new "
                      "content and part of the old. A copy of the file as it was before that "
                      "save is kept in '%2'.\n\nRestore the file from that copy, or keep the file "
                      "as it is? Either way the copy is then removed.")
                .arg(path, copy)};
}

Message saveChanges(const QString& currentFile) {
    return {Dialogs::Icon::Question, Words::tr("Save Changes"),
            Words::tr("Save changes to '%1'?").arg(currentFile)};
}

Message information() {
    return {Dialogs::Icon::Information, Words::tr("Information"),
            Words::tr("1.  Create or edit an existing HTT file (only one previously saved by "
                      "this)\r2.  Change the line 'PersistMoniker=file://Folder.htt' to "
                      "'PersistMoniker=file://Yourfile.htt' in the Desktop.ini file\r\rIn the "
                      "description box, you can type '%THISDIRNAME%' for the name of the folder "
                      "or '%THISDIRPATH%' for the folder's full path.")};
}

Message about() {
    return {Dialogs::Icon::Information, Words::tr("About"),
            Words::tr("Tessivane, by the Tessivane authors, 2026")};
}

QString placeholderName(long long n) {
    return Words::tr("HyperText Template%1.htt").arg(n);
}

}  // namespace tessivane::messages
