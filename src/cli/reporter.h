// SPDX-License-Identifier: MIT
#pragma once
#include <optional>
#include <ostream>
#include <string>

#include <QCoreApplication>
#include <QStringList>

#include "app/messages.h"
#include "document/working_document.h"
#include "storage/file_services.h"
#include "storage/folder_use.h"

namespace tessivane::cli {

// The context in which every text the tool prints is translated. Option names, the value names
// beside them (FILE, FOLDER), command names and the names that show prints are the command
// line's syntax, the same in every language.
class CommandLineTool {
    Q_DECLARE_TR_FUNCTIONS(CommandLineTool)
};

// Reports to standard output and standard error, and loads and saves with what goes wrong
// reported there.
class Reporter {
    Q_DECLARE_TR_FUNCTIONS(CommandLineTool)

public:
    Reporter(std::ostream& out, std::ostream& err, const QStringList& notUtf8)
        : out_(out), err_(err), notUtf8_(notUtf8) {}

    // Whether a value came from an argument whose bytes were UTF-8: only then does a replacement
    // character in it stand for itself.
    bool cameAsUtf8(const QString& value) const;

    // The problem and the tool's usage on standard error; returns the exit status of a usage
    // error.
    int usage(const QString& problem);
    // The message on standard error; returns the exit status of a failure.
    int fail(const std::string& message);
    int fail(const Message& message) { return fail(message.text.toStdString()); }
    // A line of the tool's own on standard error.
    void note(const QString& text);

    // A file of ours, loaded whole, or a failure already reported. A recovery copy of it, which
    // a save cut short left, is named on standard error.
    std::optional<WorkingDocument> loadOurs(const QString& path);
    // Saves the document to the file; returns the exit status, a failure reported.
    int save(const WorkingDocument& document, const QString& path,
             RecoveryCopy existing = RecoveryCopy::Refuse);

    // What a change of a folder ended with: reported, and the exit status. A signal that came
    // while the folder changed ends the tool with 128 + its number when the change was stopped;
    // one that came as the change completed leaves the status that the change earned.
    int folderChanged(const FolderUseResult& result, const QString& done);

    std::ostream& out() { return out_; }

private:
    std::ostream& out_;
    std::ostream& err_;
    const QStringList& notUtf8_;
};

}  // namespace tessivane::cli
