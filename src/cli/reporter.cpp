// SPDX-License-Identifier: MIT
#include "cli/reporter.h"

#include "cli/cli.h"
#include "cli/command.h"

namespace tessivane::cli {

bool Reporter::cameAsUtf8(const QString& value) const {
    if (!value.contains(QChar::ReplacementCharacter)) {
        return true;
    }
    for (const QString& argument : notUtf8_) {
        if (argument.endsWith(value)) {
            return false;
        }
    }
    return true;
}

int Reporter::usage(const QString& problem) {
    err_ << "tessivane-cli: " << problem.toStdString() << "\n" << toolUsage().toStdString();
    return kUsage;
}

int Reporter::fail(const std::string& message) {
    err_ << message << "\n";
    return kFailed;
}

void Reporter::note(const QString& text) {
    err_ << "tessivane-cli: " << text.toStdString() << "\n";
}

std::optional<WorkingDocument> Reporter::loadOurs(const QString& path) {
    LoadResult loaded = cameAsUtf8(path)
                            ? loadDocument(path)
                            : LoadResult{{}, {FileError::Kind::InvalidName, {}}, {}, {}, {}};
    if (loaded.error) {
        fail(messages::cannotRead(path, loaded.error));
        return std::nullopt;
    }
    if (!hasMarkerLine(loaded.document)) {
        fail(messages::notOurFile(path));
        return std::nullopt;
    }
    if (!loaded.untrustedCopies.isEmpty()) {
        note(messages::untrustedCopies(path, loaded.untrustedCopies));
    }
    if (!loaded.recoveryCopy.isEmpty()) {
        note(tr("a save of '%1' was cut short, so the file may hold part of the new "
                "content and part of the old; the file as it was before that save is "
                "kept in '%2', followed by a record of its own: do not copy it back by "
                "hand. Opening the file in the Tessivane window offers to restore it; "
                "write with --discard-recovery-copy saves over the file and removes the "
                "copy.")
                 .arg(path, loaded.recoveryCopy));
    }
    return std::move(loaded.document);
}

int Reporter::save(const WorkingDocument& document, const QString& path, RecoveryCopy existing) {
    const FileError error = cameAsUtf8(path) ? saveDocument(document, path, existing)
                                             : FileError{FileError::Kind::InvalidName, {}};
    if (!error) {
        return kDone;
    }
    fail(messages::saveFailed(path, error));
    if (error.kind == FileError::Kind::RecoveryCopyExists) {
        note(tr("write --discard-recovery-copy saves over it and removes the copy"));
    }
    return kFailed;
}

int Reporter::folderChanged(const FolderUseResult& result, const QString& done) {
    if (result.error) {
        fail(messages::folderUseFailed(result.error));
        return result.error.kind == FolderUseError::Kind::Stopped && result.signal != 0
                   ? 128 + result.signal
                   : kFailed;
    }
    out_ << done.toStdString() << "\n";
    return kDone;
}

}  // namespace tessivane::cli
