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
    const Message question = messages::folderUseQuestion(folder, plan);
    if (dialogs_.message(question.icon, Dialogs::Buttons::YesNo, question.title, question.text) !=
        Dialogs::Answer::Yes) {
        return std::nullopt;
    }
    // The question named the page that will be replaced, and the user agreed.
    const FolderUseResult result = tessivane::useForFolder(
        session_.document, folder, kFolderTemplateName, ExistingTemplate::Replace, documentFolder);
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
