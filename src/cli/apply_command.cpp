// SPDX-License-Identifier: MIT
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include "cli/cli.h"
#include "cli/commands.h"
#include "cli/reporter.h"
#include "document/desktop_ini.h"
#include "storage/folder_use.h"

namespace tessivane::cli {
namespace {

// The look the options give a folder; nothing, after a usage error, when one is not a value.
std::optional<FolderLook> lookOptions(const QCommandLineParser& parser, Reporter& reporter) {
    FolderLook look;
    look.comment = parser.value("comment").toStdString();
    look.listPicture = parser.value("list-picture").toStdString();
    QString icon = parser.value("icon");
    // FILE,INDEX: the index is what follows the last comma, when it is a number.
    const qsizetype comma = icon.lastIndexOf(',');
    if (comma > 0 && QRegularExpression("^-?[0-9]+$").match(icon.mid(comma + 1)).hasMatch()) {
        look.iconIndex = icon.mid(comma + 1).toStdString();
        icon.truncate(comma);
    }
    look.iconFile = icon.toStdString();
    if (look.iconIndex.empty() && !look.iconFile.empty()) {
        look.iconIndex.push_back('0');  // the file's first icon
    }
    if (parser.isSet("list-text-colour")) {
        const auto colour = iniColourFromText(parser.value("list-text-colour").toStdString());
        if (!colour) {
            reporter.usage(
                CommandLineTool::tr("--list-text-colour takes a colour name or #RRGGBB, not '%1'")
                    .arg(parser.value("list-text-colour")));
            return std::nullopt;
        }
        look.listTextColour = *colour;
    }
    return look;
}

}  // namespace

const char* ApplyCommand::description() const {
    return QT_TRANSLATE_NOOP("CommandLineTool",
                             "Use a template that Tessivane saved for FOLDER: check that its\n"
                             "sound, background and line image files exist, copy those that lie\n"
                             "outside FOLDER into it, write the template there as Folder.htt\n"
                             "naming them as Windows finds them, make the folder's Desktop.ini\n"
                             "show it, and mark the folder read-only and the files hidden and\n"
                             "system where the volume keeps Windows attributes. All of it is\n"
                             "done, or none. --comment, --icon and the list's picture and colour\n"
                             "give the folder its look too; without TEMPLATE, only those.");
}

QList<QCommandLineOption> ApplyCommand::options() const {
    return {{"name", tr("The template's file name in the folder; Folder.htt when not given."),
             "NAME.htt", kFolderTemplateName},
            {"replace", tr("Replace a page of Tessivane's that is already at that name; it is "
                           "kept in the folder, and unapply brings it back.")},
            {"comment", tr("The folder's comment, which Windows shows as its tooltip."), "TEXT"},
            {"icon",
             tr("The folder's icon: an .ico file, or a .dll or .exe with the icon's "
                "index."),
             "FILE[,INDEX]"},
            {"list-picture", tr("The picture behind the folder's file list."), "FILE"},
            {"list-text-colour",
             tr("The colour of the file names in the list: one of the sixteen names, "
                "or #RRGGBB."),
             "COLOUR"}};
}

std::vector<Argument> ApplyCommand::arguments() const {
    return {{"TEMPLATE", kSavedTemplate},
            {"FOLDER", QT_TRANSLATE_NOOP("CommandLineTool", "The folder that will show it.")}};
}

int ApplyCommand::run(const QCommandLineParser& parser, Reporter& reporter) const {
    const auto look = lookOptions(parser, reporter);
    if (!look) {
        return kUsage;
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() != 2 && !(files.size() == 1 && !look->empty())) {
        return reporter.usage(tr("apply needs a TEMPLATE and a FOLDER"));
    }
    const QString name = parser.value("name");
    if (parser.values("name").size() > 1 || !isTemplateFileName(name.toStdString())) {
        return reporter.usage(
            messages::folderUseFailed({FolderUseError::Kind::BadTemplateName, name, {}}).text);
    }
    std::optional<WorkingDocument> document;
    if (files.size() == 2 && !(document = reporter.loadOurs(files[0]))) {
        return kFailed;
    }
    const QString& folder = files.last();
    FolderUseRequest request;
    request.page = document ? &*document : nullptr;
    request.templateName = name;
    request.look = *look;
    request.existing =
        parser.isSet("replace") ? ExistingTemplate::Replace : ExistingTemplate::Refuse;
    // The template's own folder is where its %THISDIRPATH% names are; the look's files are
    // paths as given.
    request.sourceFolder = document ? QFileInfo(files[0]).absolutePath() : QDir::currentPath();
    request.keepEarlierLook = true;
    const FolderUseResult result = useForFolder(folder, request);
    if (result.error.kind == FolderUseError::Kind::TemplateExists) {
        reporter.fail(messages::folderUseFailed(result.error));
        reporter.note(tr("apply --replace replaces it and keeps it for unapply"));
        return kFailed;
    }
    return reporter.folderChanged(result, document ? messages::folderUseDone(folder, name, result)
                                                   : messages::folderLookDone(folder, result));
}

}  // namespace tessivane::cli
