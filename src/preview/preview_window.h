// SPDX-License-Identifier: MIT
#pragma once
// The preview window: shows a document as a folder's window would show it, in a web view, for a
// folder the user can change, and shows it again whenever a new document arrives, keeping the
// file list's selection and the scroll positions. A one-line strip under the folder box names
// what the page cannot find.
//
// The web view holds a shell page, loaded once, that keeps the folder's entries and shows each
// document in a frame of its own (folder_view.js): the folder is listed in the background
// (folder_listing.h) and reaches the page once, however many documents follow. The page runs in
// an off-the-record profile that page_guard.h keeps contained. Reading frames from the editor is
// left to StdinFrames (stdin_frames.h); the window takes them through receiveFrame().
#include <QByteArray>
#include <QFileSystemWatcher>
#include <QHash>
#include <QJsonObject>
#include <QJsonValue>
#include <QSet>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <QWebEnginePage>
#include <QWidget>
#include <functional>

#include "preview/folder_listing.h"
#include "preview/folder_look.h"

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QStackedWidget;
class QWebEngineProfile;
class QWebEngineView;

namespace tessivane {

class GuardedPage;
class RequestGuard;

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
    void finishLoading(bool ok);
    void showStopped(QWebEnginePage::RenderProcessTerminationStatus status);
    // The page did not answer in time: its renderer is ended, and a new one shows the document.
    void restartRenderer();
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

    void showDocument(const QByteArray& bytes);
    void showFolder(const QString& folder, bool again = false);
    // Loads the shell page; once it is loaded it gets the listing and the current document.
    void loadShell();
    // Runs a script in the shell; a shell that does not answer within kAnswerMs is taken to be
    // stuck and its renderer replaced.
    void runInShell(const QString& script);
    void sendListing(const QString& script);
    // Checks the files the document names, off this thread, then sends the document.
    void checkNamedFilesAndSend();
    void sendDocument(const NamedFiles& named);
    // Reads the folder's Desktop.ini off this thread, then shows its look: the comment and the
    // icon in the folder box, the list picture and name colour in the page.
    void readLook();
    void showLook(const ShownFolderLook& shown);
    // Lets the guard serve the page, the folder's own pictures, the files the document names and
    // the list picture.
    void allowInGuard();
    void showStrip();

    // How long the page may take to answer before it is taken to be stuck.
    static constexpr int kAnswerMs = 1000;

    QTemporaryDir pageDir_;
    QWebEngineProfile* profile_;
    RequestGuard* guard_;
    GuardedPage* page_;
    QWebEngineView* view_;
    QStackedWidget* stack_;
    QLabel* strip_;
    QLineEdit* folderBox_;
    QAction* folderIcon_ =
        nullptr;  // in the folder box: the icon the folder's Desktop.ini gives it
    QCheckBox* playSoundBox_;
    QString shellPath_;

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

    bool shellReady_ = false;
    int shellGeneration_ = 0;  // tells answers from an ended renderer from the current one's
    int unanswered_ = 0;
    QTimer answerTimer_;       // runs while the shell owes an answer
    bool restarting_ = false;  // a stuck renderer was ended and its end is awaited
    NamedFiles named_;         // those of the document shown
    QStringList listingProblems_;
    int lookNumber_ = 0;   // of the newest reading of the folder's look
    QString listPicture_;  // the list picture shown, links resolved; "" for none
    QString lookScript_;   // the look, to give a new shell
    QStringList lookProblems_;
    QStringList documentProblems_;
    QStringList notes_;  // what the page did that the preview stopped
};

}  // namespace tessivane
