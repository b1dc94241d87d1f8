// SPDX-License-Identifier: MIT
#include <QFileInfo>

#include "cli/cli.h"
#include "cli/commands.h"
#include "cli/reporter.h"
#include "cli/settings_table.h"
#include "document/reader.h"
#include "document/template.h"
#include "document/writer.h"
#include "storage/windows_files.h"

namespace tessivane::cli {

const char* WriteCommand::description() const {
    return QT_TRANSLATE_NOOP(
        "CommandLineTool",
        "Start from the built-in template, or from a template given with\n"
        "--from, change the settings given, check that the sound, background\n"
        "and line image files exist as Windows will look for them, and save\n"
        "the result to FILE. A file in FILE's folder is named\n"
        "%THISDIRPATH%\\NAME, which Windows finds wherever the folder goes; a\n"
        "drive or network path (C:\\..., \\\\server\\...) is not checked here.");
}

QList<QCommandLineOption> WriteCommand::options() const {
    QList<QCommandLineOption> options{
        {"from",
         tr("Start from this template, which Tessivane saved, instead of the built-in one."),
         "FILE"}};
    options += settingOptions();
    options += {{"discard-recovery-copy",
                 tr("Save over FILE even where an earlier save of it was cut short, and remove "
                    "the copy of its earlier content that that save left.")},
                outputOption(tr("The file to write."))};
    return options;
}

std::optional<int> WriteCommand::checkArguments(const QCommandLineParser& parser,
                                                Reporter& reporter) const {
    if (!parser.positionalArguments().isEmpty()) {
        return reporter.usage(tr("write takes its file names through --from and -o"));
    }
    if (!parser.isSet("output")) {
        return reporter.usage(tr("write needs -o FILE"));
    }
    // The options' names, the same in every language, so made once: the options themselves,
    // with their translated help, were made again on every run.
    static const QStringList names = [this] {
        QStringList first;
        for (const QCommandLineOption& option : options()) {
            first << option.names().first();
        }
        return first;
    }();
    for (const QString& name : names) {
        if (parser.values(name).size() > 1) {
            return reporter.usage(
                tr("%1 given more than once").arg((name.size() == 1 ? "-" : "--") + name));
        }
    }
    return std::nullopt;
}

int WriteCommand::run(const QCommandLineParser& parser, Reporter& reporter) const {
    SettingChanges changes;
    if (const auto ended = checkArguments(parser, reporter)) {
        return *ended;
    }
    if (const auto refused = changes.read(parser, reporter)) {
        return *refused;
    }
    WorkingDocument document;
    if (parser.isSet("from")) {
        auto loaded = reporter.loadOurs(parser.value("from"));
        if (!loaded) {
            return kFailed;
        }
        document = std::move(*loaded);
    } else {
        document = WorkingDocument::fromTemplate();
    }
    ReadOutcome outcome;
    FolderViewSettings settings = readFolderViewSettings(document, &outcome);
    if (!outcome.complete) {
        return reporter.fail(messages::loadError(parser.value("from")));
    }
    const FolderViewSettings shown = settings;  // the lines of settings not given stay as read
    // A file in the output's folder is named as Windows finds it wherever the folder goes.
    const QString folder = QFileInfo(parser.value("output")).absolutePath();
    changes.applyTo(settings, folder);

    WindowsNameCheck check(folder);
    const WriteOutcome written = writeSettings(
        document, settings, [&check](const std::string& path) { return check(path); }, &shown);
    for (const QString& note : check.notes()) {
        reporter.note(tr("note: %1").arg(note));
    }
    if (!written.written()) {
        return reporter.fail(messages::writeRefused(written, parser.value("output")));
    }
    warnAboutReadingBack(document, settings, reporter);
    return reporter.save(
        document, parser.value("output"),
        parser.isSet("discard-recovery-copy") ? RecoveryCopy::Discard : RecoveryCopy::Refuse);
}

}  // namespace tessivane::cli
