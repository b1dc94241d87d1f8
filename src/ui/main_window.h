// SPDX-License-Identifier: MIT
#pragma once
// The main window: every setting's control, the font and colour samples, the File and Help
// menus, and the status bar that names the current file.
//
// The controls are the only copy of the settings while the user works. Their change handlers
// correct sizes and the loop count in place and refresh the samples; setting a control from code
// raises the same handling as the user's own edit, which the reader (SetForm) relies on. The file
// commands work on the window's Session through FileCommands; every message box and file dialog
// goes through the Dialogs given at construction.
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <string_view>

#include "app/dialogs.h"
#include "app/file_commands.h"

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QRadioButton;
class QPushButton;

namespace tessivane {

class ChoiceList;
class Frame;
class SimpleStatusBar;
class PictureViewer;

class MainWindow : public QMainWindow, public DocumentForm {
    Q_OBJECT

public:
    // Builds the window and runs Form_Load: the font list, then the file named by the
    // command-line text when it is one of ours, otherwise the built-in template.
    MainWindow(const QString& commandLineText, Dialogs& dialogs, QWidget* parent = nullptr);
    ~MainWindow() override;

    // DocumentForm
    FolderViewSettings currentSettings() const override;
    // The reader: shows the session's document in the controls (their change handling runs),
    // after giving the document its placeholder name; a document too short to hold every
    // setting line stops at the first missing one with the "Load Error" box.
    void showDocument(const QString& sourceName) override;
    QString currentFile() const override;
    void setCurrentFile(const QString& path) override;

    // The save-changes question: 1 when the caller must stop, 0 when it may go on.
    bool maybeSave();

    const Session& session() const { return session_; }
    // The picture viewer while it is open, otherwise null.
    PictureViewer* viewer() const;

public slots:
    void mnuNew_Click();
    void mnuOpen_Click();
    void mnuSave_Click();
    void mnuAs_Click();
    void mnuExit_Click();
    void mnuInfo_Click();
    void mnuAbout_Click();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private slots:
    void Info_Change();
    void Title_Change();
    void txtLoop_Change();
    void Number_Click();
    void optLoop_Click();
    void Sound_Change();
    void ColSel_Click();
    void Fnts_Click();
    void Browse1_Click();
    void Browse2_Click();
    void Browse3_Click();

private:
    class ControlsTarget;

    void createMenus();
    void createFontFrame();
    void createSoundFrame();
    void createGraphicFrame();
    void createStatusBar();
    void fixWindowFrame();
    void connectEvents();
    void arrangeTabOrder();
    void Form_Load();
    void Form_Unload(QCloseEvent* event);

    // Fills a list with the names of the fonts available for display, and one empty entry,
    // keeping it sorted ignoring letter case.
    void FontList(ChoiceList* list);
    // Brings the title sample (forTitle) or the information sample up to date with the chosen
    // font, colour and size; the backgrounds of both follow the colour.
    void SampleSet(bool forTitle);

    // A size box's change handling: corrects the text in place, then refreshes its sample.
    void sizeChange(QLineEdit* box, std::string_view fallback, bool forTitle);
    // Shows the shared Open dialog with the title and filter and puts the chosen path into the
    // box. False when the user cancelled.
    bool chooseInto(QLineEdit* box, const QString& title, const QString& filter);
    // Puts a path into a path box as its chooser would, and previews a picture.
    void fillPath(QLineEdit* box, const QString& path);
    void showPicture(const QString& path, int alignment);

    Dialogs& dialogs_;
    Session session_;
    FileCommands commands_;
    const QString commandLineText_;
    QPointer<PictureViewer> viewer_;

    QMenu* mnuFile = nullptr;
    QAction* mnuNew = nullptr;
    QAction* mnuOpen = nullptr;
    QAction* mnuSave = nullptr;
    QAction* mnuAs = nullptr;
    QAction* mnuExit = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuInfo = nullptr;
    QAction* mnuAbout = nullptr;

    Frame* frmFont = nullptr;
    ChoiceList* Fnts = nullptr;
    QLabel* lblCol = nullptr;
    ChoiceList* ColSel = nullptr;
    QLabel* TSize = nullptr;
    QLineEdit* Title = nullptr;
    QLabel* ISize = nullptr;
    QLineEdit* Info = nullptr;
    QLabel* titleSample = nullptr;
    QLabel* infoSample = nullptr;

    Frame* frmSounds = nullptr;
    QLineEdit* Sound = nullptr;
    QPushButton* Browse1 = nullptr;
    QRadioButton* optLoop = nullptr;
    QRadioButton* Number = nullptr;
    QLineEdit* txtLoop = nullptr;

    Frame* frmGraphic = nullptr;
    QLabel* lblBck = nullptr;
    QLineEdit* Bck = nullptr;
    QPushButton* Browse2 = nullptr;
    QLabel* lblLine = nullptr;
    QLineEdit* Img = nullptr;
    QPushButton* Browse3 = nullptr;
    QLabel* lblFolDesc = nullptr;
    QLineEdit* Fol = nullptr;

    SimpleStatusBar* CurFile = nullptr;
};

}  // namespace tessivane
