#pragma once
// The real dialogs: Qt message boxes and Qt's own file dialog, shown application-modal over the
// main window.
#include <QMessageBox>
#include <QPointer>
#include <QString>

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
};

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
