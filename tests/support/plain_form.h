// SPDX-License-Identifier: MIT
#pragma once
// The main window reduced to what the file commands use: the settings it holds, the document it
// shows and the current file. Showing a document reads its settings as the window would. And the
// fixture of the file commands' tests: the commands over such a form and scripted dialogs, with
// the template shown and three referenced files that exist, so that the writer accepts them.
#include <gtest/gtest.h>

#include <QString>

#include "app/file_commands.h"
#include "app/messages.h"
#include "document/line_map.h"
#include "document/reader.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

namespace tessivane::test {

class PlainForm : public DocumentForm {
public:
    explicit PlainForm(Session& session) : session_(session) {}
    FolderViewSettings settings;
    QString file;
    int shownDocuments = 0;
    QString note;  // the last note shown

    FolderViewSettings currentSettings() const override { return settings; }
    void showDocument(const QString&) override {
        ++shownDocuments;
        file = messages::placeholderName(session_.newNum);
        settings = readFolderViewSettings(session_.document);
    }
    QString currentFile() const override { return file; }
    void setCurrentFile(const QString& path) override { file = path; }
    void showNote(const QString& text) override { note = text; }

private:
    Session& session_;
};

class CommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        session.document = WorkingDocument::fromTemplate();
        form.showDocument(QString());
        form.shownDocuments = 0;
        nameExistingFiles();
    }
    void TearDown() override { EXPECT_TRUE(dialogs.scriptUsedUp()); }
    void nameExistingFiles() {
        form.settings.soundFile = sound.toStdString();
        form.settings.backgroundImage = background.toStdString();
        form.settings.lineImage = lineImage.toStdString();
    }
    // A file of ours with the description.
    QString ourFile(const QString& name, const std::string& description) {
        WorkingDocument document = WorkingDocument::fromTemplate();
        document.replaceText(lines::kDescription, description);
        return dir.file(name, QByteArray::fromStdString(document.toBytes()));
    }
    // Runs a file command: Open answers No to the save question, Open and Save As choose the
    // path. Returns the last message shown as "title: text", "" for none; `message`: one is due.
    QString run(void (FileCommands::*command)(), const QString& path = {}, bool message = false) {
        dialogs.clearShown();
        if (command == &FileCommands::open) {
            dialogs.answer(Dialogs::Answer::No);
        }
        if (!path.isEmpty()) {
            dialogs.choose(path);
        }
        if (message) {
            dialogs.answer(Dialogs::Answer::Ok);
        }
        (commands.*command)();
        const auto& shown = dialogs.shown();
        return !shown.empty() && shown.back().kind == ScriptedDialogs::Shown::Kind::Message
                   ? shown.back().title + ": " + shown.back().text
                   : QString();
    }
    static constexpr auto kOpen = &FileCommands::open;
    static constexpr auto kSave = &FileCommands::save;
    static constexpr auto kSaveAs = &FileCommands::saveAs;

    TempDir dir;
    QString sound = dir.file("ding.wav", "RIFF");
    QString background = dir.file("back.gif", "GIF89a");
    QString lineImage = dir.file("line.gif", "GIF89a");
    Session session;
    PlainForm form{session};
    ScriptedDialogs dialogs;
    FileCommands commands{session, form, dialogs};
};

}  // namespace tessivane::test
