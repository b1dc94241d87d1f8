// SPDX-License-Identifier: MIT
#pragma once
// The main window: the settings form (ui/settings_form.h) as its client area, the menus, and the
// status bar that names the current file. What the File and Help commands do is left to
// FileCommands, the words of every message to app/messages.h, and showing message boxes and file
// dialogs to the Dialogs given at construction. Pictures are previewed in a PictureViewer, and the
// whole page in the separate preview program that a PreviewLink starts and feeds.
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <string_view>

#include "app/dialogs.h"
#include "app/file_commands.h"
#include "app/folder_commands.h"
#include "app/preview_link.h"
#include "app/session.h"
#include "ui/settings_form.h"

class QAction;
class QLineEdit;
class QMenu;

namespace tessivane {

class ElidedLabel;
class PictureViewer;

class MainWindow : public QMainWindow, public DocumentForm {
    Q_OBJECT

public:
    // Builds the window, fills the font list and shows the first document: the file named by the
    // command-line text when it is one of ours, otherwise the built-in template.
    MainWindow(const QString& commandLineText, Dialogs& dialogs, QWidget* parent = nullptr);
    ~MainWindow() override;

    // DocumentForm
    FolderViewSettings currentSettings() const override;
    // Shows the session's document in the controls (their change handling runs), after giving the
    // document its placeholder name; a document too short to hold every setting line stops at the
    // first missing one with the "Load Error" box.
    void showDocument(const QString& sourceName) override;
    QString currentFile() const override;
    void setCurrentFile(const QString& path) override;
    void showNote(const QString& text) override;

    // The save-changes question: true when the caller may go on, false when it must stop.
    bool maybeSave();

protected:
    void closeEvent(QCloseEvent* event) override;

private slots:
    void newFile();
    void open();
    void save();
    void saveAs();
    void useForFolder();
    void showInformation();
    void about();
    void choosePath(SettingsForm::PathBox box);
    void showPreview();

private:
    class DropFilter;

    void createActions();
    void createMenus();
    void createStatusBar();
    void createPreviewLink();
    void fixSize();
    void installEventFilters();
    // Shows the shared Open dialog with the title and filter. False when the user cancelled.
    bool chooseFile(const QString& title, const QStringList& nameFilters);
    // Puts a path into a path box, as its chooser or a drop does (in the portable form when the
    // file lies in the document's folder), and previews a picture.
    void setPath(QLineEdit* edit, const QString& path);
    void openDroppedFile(const QString& path);
    // The document as Save would write it now, for the preview: a missing referenced file does
    // not stop it, the preview names it instead.
    QByteArray previewDocument() const;

    Dialogs& dialogs_;
    SettingsForm* form_ = nullptr;
    Session session_;
    FileCommands commands_;
    FolderCommands folderCommands_;
    QPointer<PictureViewer> viewer_;
    PreviewLink* preview_ = nullptr;
    QString previewFolder_;  // the folder last sent to the preview

    QMenu* fileMenu_ = nullptr;
    QMenu* viewMenu_ = nullptr;
    QMenu* helpMenu_ = nullptr;
    QAction* newAct_ = nullptr;
    QAction* openAct_ = nullptr;
    QAction* saveAct_ = nullptr;
    QAction* saveAsAct_ = nullptr;
    QAction* useForFolderAct_ = nullptr;
    QAction* exitAct_ = nullptr;
    QAction* previewAct_ = nullptr;
    QAction* informationAct_ = nullptr;
    QAction* aboutAct_ = nullptr;

    ElidedLabel* statusLabel_ = nullptr;
    QWidget* previewStoppedNotice_ = nullptr;
};

}  // namespace tessivane
