// SPDX-License-Identifier: MIT
#pragma once
// The main window reduced to what the file commands use: the settings it holds, the document it
// shows and the current file. Showing a document reads its settings as the window would.
#include <QString>

#include "app/file_commands.h"
#include "app/messages.h"
#include "document/reader.h"

namespace tessivane::testing {

class PlainForm : public DocumentForm {
public:
    explicit PlainForm(Session& session) : session_(session) {}
    FolderViewSettings settings;
    QString file;
    int shownDocuments = 0;

    FolderViewSettings currentSettings() const override { return settings; }
    void showDocument(const QString&) override {
        ++shownDocuments;
        file = messages::placeholderName(session_.newNum);
        settings = readFolderViewSettings(session_.document);
    }
    QString currentFile() const override { return file; }
    void setCurrentFile(const QString& path) override { file = path; }

private:
    Session& session_;
};

}  // namespace tessivane::testing
