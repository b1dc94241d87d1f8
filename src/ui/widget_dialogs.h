// SPDX-License-Identifier: MIT
#pragma once
// The real dialogs behind the Dialogs seam: Qt message boxes and Qt's own file dialog, shown
// application-modal over the main window. What they say and when they are shown is left to the
// commands (app/file_commands.h) and their words (app/messages.h).
#include <QCoreApplication>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include "app/dialogs.h"

namespace tessivane {

class WidgetDialogs : public Dialogs {
    Q_DECLARE_TR_FUNCTIONS(WidgetDialogs)

public:
    explicit WidgetDialogs(QWidget* parent = nullptr);

    // The window the dialogs are centred on; none centres them on the screen.
    void setParentWidget(QWidget* parent);

    Answer message(Icon icon, Buttons buttons, const QString& title, const QString& text) override;
    bool showOpen(DialogState& state) override;
    bool showSave(DialogState& state) override;
    bool showFolder(DialogState& state) override;
    std::optional<FolderLook> folderLook(const QString& title, const QString& question,
                                         const FolderLook& initial, const QString& folder) override;

private:
    bool showFileDialog(DialogState& state, bool forSaving);

    QPointer<QWidget> parent_;
    // The folders visited in the file dialogs, kept for this run only.
    QStringList history_;
};

// The program keeps nothing between runs and writes no file it was not asked to, however it ends.
// Qt's file dialog stores its history and last folder in the user's settings when it closes; this
// points those settings beneath /dev/null, where no folder or file can be made. WidgetDialogs keeps
// the history in memory for the run instead.
void keepSettingsOffDisk();

}  // namespace tessivane
