// SPDX-License-Identifier: MIT
#include "app/folder_commands.h"

#include <csignal>

#include "app/messages.h"
#include "storage/folder_use.h"

namespace tessivane {

FolderCommands::FolderCommands(Session& session, FileCommands& files, Dialogs& dialogs)
    : session_(session), files_(files), dialogs_(dialogs) {}

std::optional<FolderCommands::Done> FolderCommands::useForFolder(const QString& startFolder,
                                                                 const QString& documentFolder) {
    if (!files_.storeSettings()) {
        return std::nullopt;
    }
    folderDialog_.title = tr("Use for Folder");
    folderDialog_.fileName = startFolder;
    if (!dialogs_.showFolder(folderDialog_)) {
        return std::nullopt;
    }
    const QString folder = folderDialog_.fileName;
    const auto refuse = [this](const FolderUseError& error) {
        const Message message = messages::folderUseFailed(error);
        dialogs_.message(message.icon, Dialogs::Buttons::Ok, message.title, message.text);
        return std::nullopt;
    };
    const FolderUsePlan plan =
        planFolderUse(session_.document, folder, kFolderTemplateName, documentFolder);
    if (plan.error) {
        return refuse(plan.error);
    }
    // The question comes with the look the folder has now, for the user to keep or change.
    const Message question = messages::folderUseQuestion(folder, plan);
    const std::optional<FolderLook> look =
        dialogs_.folderLook(question.title, question.text, plan.look, folder);
    if (!look) {
        return std::nullopt;
    }
    // The question named the page that will be replaced, and the user agreed. The form showed
    // the whole look, so an emptied part takes out what an earlier use set.
    FolderUseRequest request;
    request.page = &session_.document;
    request.templateName = kFolderTemplateName;
    request.look = *look;
    request.existing = ExistingTemplate::Replace;
    request.sourceFolder = documentFolder;
    const FolderUseResult result = tessivane::useForFolder(folder, request);
    if (result.signal != 0) {
        // Held back while the folder changed; the change is complete or undone, so it may end
        // the program now as it would have.
        std::raise(result.signal);
    }
    if (result.error) {
        return refuse(result.error);
    }
    return Done{folder, messages::folderUseDone(folder, kFolderTemplateName, result)};
}

}  // namespace tessivane
