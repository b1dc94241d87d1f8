// SPDX-License-Identifier: MIT
#include <QJsonDocument>
#include <QJsonObject>

#include "cli/cli.h"
#include "cli/commands.h"
#include "cli/reporter.h"
#include "document/desktop_ini.h"
#include "storage/folder_use.h"

namespace tessivane::cli {

const char* ShowFolderCommand::description() const {
    return QT_TRANSLATE_NOOP("CommandLineTool",
                             "Print what a folder's Desktop.ini gives it: its page, comment,\n"
                             "icon, list picture and list text colour, one 'name: value' line\n"
                             "each, or one JSON object with --json.");
}

std::vector<Argument> ShowFolderCommand::arguments() const {
    return {{"FOLDER", QT_TRANSLATE_NOOP("CommandLineTool", "A folder.")}};
}

int ShowFolderCommand::run(const QCommandLineParser& parser, Reporter& reporter) const {
    if (parser.positionalArguments().size() != 1) {
        return reporter.usage(tr("show-folder needs exactly one FOLDER"));
    }
    const FolderShown shown = showFolder(parser.positionalArguments().first());
    if (shown.error) {
        return reporter.fail(messages::folderUseFailed(shown.error));
    }
    const FolderLook& look = shown.look;
    std::string icon = look.iconFile;
    if (!icon.empty()) {
        icon.append(",").append(look.iconIndex);
    }
    const std::pair<const char*, std::string> fields[] = {
        {"page", shown.page.toStdString()},
        {"comment", look.comment},
        {"icon", icon},
        {"listPicture", look.listPicture},
        {"listTextColour", rgbFromIniColour(look.listTextColour).value_or(look.listTextColour)}};
    if (parser.isSet("json")) {
        QJsonObject object;
        for (const auto& [key, value] : fields) {
            object[key] = QString::fromStdString(value);
        }
        reporter.out() << QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString()
                       << "\n";
    } else {
        for (const auto& [key, value] : fields) {
            reporter.out() << key << ": " << value << "\n";
        }
    }
    return kDone;
}

}  // namespace tessivane::cli
