// SPDX-License-Identifier: MIT
#pragma once
// The preview window: shows a document as a folder's window would show it, in a web view, for a
// folder the user can change, and shows it again whenever a new document arrives, keeping the
// file list's selection and the scroll positions. A one-line strip under the folder box names
// what the page cannot find and what the page did that the preview stopped.
//
// The web view shows a PreviewPage (preview_page.h): the shell page, its contained profile and the
// watchdog for a page that stops answering. The window lists the folder in the background
// (folder_listing.h), checks the files the document names and reads the folder's look off its own
// thread (background.h), and gives the shell the listing once, however many documents follow;
// a new shell, after a stuck or stopped renderer, gets all of it again. Reading frames from the
// editor is left to StdinFrames (stdin_frames.h); the window takes them through receiveFrame().
#include <QByteArray>
#include <QFileSystemWatcher>
#include <QHash>
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QSet>
#include <QStringList>
#include <QWidget>
#include <functional>

#include "preview/folder_listing.h"
#include "preview/folder_look.h"

class QAction;
class QCheckBox;
class QLabel;
class QLayout;
class QLineEdit;
class QStackedWidget;
class QWebEnginePage;
class QWebEngineView;

namespace tessivane {

class PreviewPage;

class PreviewWindow : public QWidget {
    Q_OBJECT
public:
    explicit PreviewWindow(QWidget* parent = nullptr);
    ~PreviewWindow() override;

    // "title", "folder" or "document" (see protocol/preview_protocol.h); other names are ignored.
    void receiveFrame(const QByteArray& name, const QByteArray& payload);

    QWebEnginePage* page() const;
    QString folder() const { return folder_; }
    // Everything the strip has to say, one line for each problem; "" when it is hidden. The strip
    // itself shows the first line and how many more there are.
    QString stripText() const;
    bool stopped() const;

    // Asks the user for a folder, starting at the given one; "" when the user cancels.
    std::function<QString(QWidget* parent, const QString& start)> chooseFolder;

signals:
    // A document is shown with the file list painted: the first one, or a newer one.
    void pageShown();

protected:
    void closeEvent(QCloseEvent* event) override;

private slots:
    void showTypedFolder();
    void pickFolder();
    void playSound(bool play);
    // A new shell is loaded: it gets the listing, the look and the document.
    void fillShell();
    // The shell shows the document of that number: pageShown() for the newest, once.
    void reportShown(int number);
    void showStopped();
    void reload();

private:
    // The files a document names, as checked off the window's thread.
    struct NamedFiles {
        int documentNumber = 0;
        QStringList problems;
        QSet<QString> real;  // each file that is shown, links resolved
        // A name as the page writes it on a setting line, and what the page gets instead: the
        // file's place on this machine, or nothing for a file that Windows would not show.
        struct Substitute {
            int line;
            QString from;
            QString to;
        };
        QList<Substitute> substitutes;
        QJsonValue sound;
    };

    QLayout* createFolderBar();
    QWidget* createStrip();
    QWidget* createView();
    void connectPage();
    void connectListing();
    void restoreWindowGeometry();

    void showDocument(const QByteArray& bytes);
    void showFolder(const QString& folder, bool again = false);
    // The listing has begun: the folder as it really is, and why it cannot be listed.
    void startListing(const QString& realFolder, const QString& problem);
    void addEntries(const QJsonArray& entries, const QJsonObject& newTypes);
    void sendListing(const QString& script);
    // Checks the files the document names, off this thread, then sends the document.
    void checkNamedFilesAndSend();
    // Looks for each named file as Windows would: the sound first, then the pictures.
    static void findNamedFiles(NamedFiles& named, const QStringList& files, const QString& folder,
                               int loops);
    void sendDocument(const NamedFiles& named);
    // Reads the folder's Desktop.ini off this thread, then shows its look: the comment and the
    // icon in the folder box, the list picture and name colour in the page.
    void readLook();
    void showLook(const ShownFolderLook& shown);
    // Lets the guard serve the page, the folder's own pictures, the files the document names and
    // the list picture.
    void allowInGuard();
    // Adds a notice of what the page did, once.
    void addNote(const QString& note);
    void showStrip();

    PreviewPage* page_;
    QWebEngineView* view_ = nullptr;
    QStackedWidget* stack_ = nullptr;
    QLabel* strip_ = nullptr;
    QLineEdit* folderBox_ = nullptr;
    QAction* folderIcon_ =
        nullptr;  // in the folder box: the icon the folder's Desktop.ini gives it
    QCheckBox* playSoundBox_ = nullptr;

    QString folder_;
    QString realFolder_;  // links resolved; "" until the listing says
    FolderLister lister_;
    QStringList listingScripts_;  // the listing so far, to give a new shell
    QHash<QString, QString> typeIcons_;
    QFileSystemWatcher folderWatcher_;
    bool userChoseFolder_ = false;

    QByteArray document_;
    bool haveDocument_ = false;
    int documentNumber_ = 0;  // of the newest document
    int shownNumber_ = 0;     // of the newest document the page has shown

    NamedFiles named_;  // those of the document shown
    QStringList listingProblems_;
    int lookNumber_ = 0;   // of the newest reading of the folder's look
    QString listPicture_;  // the list picture shown, links resolved; "" for none
    QString lookScript_;   // the look, to give a new shell
    QStringList lookProblems_;
    QStringList documentProblems_;
    QStringList notes_;  // what the page did that the preview stopped
};

}  // namespace tessivane
