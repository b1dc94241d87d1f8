// SPDX-License-Identifier: MIT
#include "cli/commands.h"
#include "cli/reporter.h"
#include "storage/folder_use.h"

namespace tessivane::cli {

const char* UnapplyCommand::description() const {
    return QT_TRANSLATE_NOOP("CommandLineTool",
                             "Take out of FOLDER exactly what apply put in: Desktop.ini's keys,\n"
                             "the template while it is as written, and the attributes.");
}

std::vector<Argument> UnapplyCommand::arguments() const {
    return {{"FOLDER",
             QT_TRANSLATE_NOOP("CommandLineTool", "A folder that apply used a template for.")}};
}

int UnapplyCommand::run(const QCommandLineParser& parser, Reporter& reporter) const {
    if (parser.positionalArguments().size() != 1) {
        return reporter.usage(tr("unapply needs exactly one FOLDER"));
    }
    const QString folder = parser.positionalArguments().first();
    const FolderUseResult result = undoFolderUse(folder);
    return reporter.folderChanged(result, messages::folderUseUndone(folder, result));
}

}  // namespace tessivane::cli
