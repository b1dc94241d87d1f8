// SPDX-License-Identifier: MIT
#include "cli/cli.h"
#include "cli/commands.h"
#include "cli/reporter.h"
#include "cli/settings_table.h"
#include "document/reader.h"

namespace tessivane::cli {

const char* ShowCommand::description() const {
    return QT_TRANSLATE_NOOP("CommandLineTool",
                             "Print the settings of a template that Tessivane saved, one\n"
                             "'name: value' line each, or one JSON object with --json.");
}

std::vector<Argument> ShowCommand::arguments() const {
    return {{"FILE", kSavedTemplate}};
}

int ShowCommand::run(const QCommandLineParser& parser, Reporter& reporter) const {
    if (parser.positionalArguments().size() != 1) {
        return reporter.usage(tr("show needs exactly one FILE"));
    }
    const QString path = parser.positionalArguments().first();
    const auto document = reporter.loadOurs(path);
    if (!document) {
        return kFailed;
    }
    ReadOutcome outcome;
    const FolderViewSettings settings = readFolderViewSettings(*document, &outcome);
    printSettings(reporter.out(), settings, parser.isSet("json"));
    if (!outcome.complete) {
        return reporter.fail(messages::loadError(path));
    }
    return kDone;
}

}  // namespace tessivane::cli
