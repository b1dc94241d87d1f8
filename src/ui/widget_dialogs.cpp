// SPDX-License-Identifier: MIT
#include "ui/widget_dialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>

#include "ui/folder_look_dialog.h"

namespace tessivane {

void keepSettingsOffDisk() {
    for (const auto format : {QSettings::NativeFormat, QSettings::IniFormat}) {
        QSettings::setPath(format, QSettings::UserScope, QStringLiteral("/dev/null/settings"));
    }
}

namespace {

// The message box's icon for a Dialogs icon.
QMessageBox::Icon messageBoxIcon(Dialogs::Icon icon) {
    switch (icon) {
        case Dialogs::Icon::Critical:
            return QMessageBox::Critical;
        case Dialogs::Icon::Exclamation:
            return QMessageBox::Warning;
        case Dialogs::Icon::Question:
            return QMessageBox::Question;
        case Dialogs::Icon::Information:
            return QMessageBox::Information;
    }
    return QMessageBox::NoIcon;
}

// A message text with each CR LF, and each CR or LF alone, as one LF.
QString withLineFeeds(const QString& text) {
    QString result = text;
    result.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    result.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return result;
}

// Sets up a file dialog from the shared state: title, name filters, the filter chosen last, and
// the proposed file name with its folder (a bare name stays in the current folder). Saving adds
// the ".htt" extension to a name typed without one and asks before replacing a file.
void prepareFileDialog(QFileDialog& dialog, const DialogState& state, bool forSaving) {
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setWindowTitle(state.title);
    dialog.setAcceptMode(forSaving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(forSaving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (forSaving) {
        dialog.setDefaultSuffix(QStringLiteral("htt"));
        dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    }
    dialog.setNameFilters(state.nameFilters);
    if (!state.selectedNameFilter.isEmpty()) {
        dialog.selectNameFilter(state.selectedNameFilter);
    }
    if (!state.fileName.isEmpty()) {
        const QFileInfo proposed(state.fileName);
        dialog.setDirectory(proposed.absolutePath());
        dialog.selectFile(proposed.fileName());
    } else {
        dialog.setDirectory(QDir::currentPath());
    }
}

// Takes the chosen path and filter back into the state after a confirmed dialog.
void takeFileDialogResult(const QFileDialog& dialog, DialogState& state) {
    const QStringList chosen = dialog.selectedFiles();
    if (!chosen.isEmpty()) {
        state.fileName = QDir::toNativeSeparators(chosen.first());
    }
    state.selectedNameFilter = dialog.selectedNameFilter();
}

}  // namespace

WidgetDialogs::WidgetDialogs(QWidget* parent) : parent_(parent) {}

void WidgetDialogs::setParentWidget(QWidget* parent) {
    parent_ = parent;
}

Dialogs::Answer WidgetDialogs::message(Icon icon, Buttons buttons, const QString& title,
                                       const QString& text) {
    QMessageBox box(messageBoxIcon(icon), title, withLineFeeds(text), QMessageBox::NoButton,
                    parent_);
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);
    if (buttons == Buttons::Ok) {
        box.setStandardButtons(QMessageBox::Ok);
        box.setDefaultButton(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Ok);
        box.exec();
        return Answer::Ok;
    }
    if (buttons == Buttons::RestoreOrKeep) {
        // Neither is the default, and the box cannot be closed without choosing one: each
        // answer loses what the other keeps.
        QPushButton* restore = box.addButton(tr("Restore"), QMessageBox::ActionRole);
        QPushButton* keep = box.addButton(tr("Keep the file as it is"), QMessageBox::ActionRole);
        for (QPushButton* button : {restore, keep}) {
            button->setAutoDefault(false);
        }
        box.exec();
        return box.clickedButton() == restore ? Answer::Restore
               : box.clickedButton() == keep  ? Answer::Keep
                                              : Answer::Cancel;
    }
    if (buttons == Buttons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
    } else {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::Cancel);
    }
    box.exec();
    switch (box.standardButton(box.clickedButton())) {
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        default:
            return Answer::Cancel;
    }
}

bool WidgetDialogs::showOpen(DialogState& state) {
    return showFileDialog(state, false);
}

bool WidgetDialogs::showSave(DialogState& state) {
    return showFileDialog(state, true);
}

bool WidgetDialogs::showFolder(DialogState& state) {
    QFileDialog dialog(parent_);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setWindowTitle(state.title);
    dialog.setDirectory(state.fileName.isEmpty() ? QDir::currentPath() : state.fileName);
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setHistory(history_);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    history_ = dialog.history();
    if (!accepted || dialog.selectedFiles().isEmpty()) {
        return false;
    }
    state.fileName = QDir::toNativeSeparators(dialog.selectedFiles().first());
    return true;
}

std::optional<FolderLook> WidgetDialogs::folderLook(const QString& title, const QString& question,
                                                    const FolderLook& initial,
                                                    const QString& folder) {
    FolderLookDialog dialog(title, question, initial, folder, parent_);
    dialog.setWindowModality(Qt::ApplicationModal);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.look();
}

bool WidgetDialogs::showFileDialog(DialogState& state, bool forSaving) {
    QFileDialog dialog(parent_);
    prepareFileDialog(dialog, state, forSaving);
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setHistory(history_);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    history_ = dialog.history();
    if (!accepted) {
        return false;
    }
    takeFileDialogResult(dialog, state);
    return true;
}

}  // namespace tessivane
