// SPDX-License-Identifier: MIT
#pragma once
// The real dialogs: Qt message boxes and Qt's own file dialog, shown application-modal over the
// main window.
#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <QStringList>

#include "app/dialogs.h"

class QFileDialog;

namespace tessivane {

class WidgetDialogs : public Dialogs {
public:
    explicit WidgetDialogs(QWidget* parent = nullptr);

    // The window the dialogs are centred on; none centres them on the screen.
    void setParentWidget(QWidget* parent);

    Answer message(Icon icon, Buttons buttons, const QString& title, const QString& text) override;
    bool showOpen(DialogState& state) override;
    bool showSave(DialogState& state) override;

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

// The message box's icon for a Dialogs icon.
QMessageBox::Icon messageBoxIcon(Dialogs::Icon icon);

// A message text with each CR LF, and each CR or LF alone, as one LF.
QString withLineFeeds(const QString& text);

// Sets up a file dialog from the shared state: title, name filters, the filter chosen last, and
// the proposed file name with its folder (a bare name stays in the current folder). Saving adds
// the ".htt" extension to a name typed without one and asks before replacing a file.
void prepareFileDialog(QFileDialog& dialog, const DialogState& state, bool forSaving);
// Takes the chosen path and filter index back into the state after a confirmed dialog.
void takeFileDialogResult(const QFileDialog& dialog, DialogState& state);

}  // namespace tessivane
