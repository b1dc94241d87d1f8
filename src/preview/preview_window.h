// SPDX-License-Identifier: MIT
#pragma once
// The preview window: shows a document as a folder's window would show it, in a web view, for a
// folder the user can change, and shows it again whenever a new document arrives, keeping the
// file list's selection and the scroll positions. A strip above names what the page cannot find.
//
// The page runs in an off-the-record profile whose requests RequestGuard filters (page_guard.h);
// the template's ActiveX objects and event scripts are emulated by folder_view.js, which this
// window injects with the folder's listing (folder_listing.h). Reading frames from the editor is
// left to StdinFrames (stdin_frames.h); the window takes them through receiveFrame().
#include <QByteArray>
#include <QFileSystemWatcher>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <QWebEnginePage>
#include <QWidget>
#include <functional>

#include "preview/folder_listing.h"

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

    // "title", "folder" or "document" (see controls/preview_protocol.h); other names are ignored.
    void receiveFrame(const QByteArray& name, const QByteArray& payload);

    QWebEnginePage* page() const;
    QString folder() const { return folder_; }
    // The strip's text: one line for each problem, "" when it is hidden.
    QString stripText() const;
    bool stopped() const;

    // Asks the user for a folder, starting at the given one; "" when the user cancels.
    std::function<QString(QWidget* parent, const QString& start)> chooseFolder;

signals:
    // The page is loaded and the previous selection and scroll positions are restored.
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
    void showDocument(const QByteArray& bytes);
    void showFolder(const QString& folder);
    // Asks the page for its selection and scroll positions, then loads the current document. A
    // page that does not answer within kAnswerMs is taken to be stuck and its renderer replaced.
    void keepStateAndLoad();
    void load();
    // Shows the problems and notes, and the note about the sandbox when running as root.
    void showStrip();

    // How long a page may take to answer before it is taken to be stuck.
    static constexpr int kAnswerMs = 1000;

    QTemporaryDir pageDir_;
    QWebEngineProfile* profile_;
    RequestGuard* guard_;
    GuardedPage* page_;
    QWebEngineView* view_;
    QStackedWidget* stack_;
    QLabel* strip_;
    QLineEdit* folderBox_;
    QCheckBox* playSoundBox_;

    QByteArray document_;
    QString folder_;
    // The folder is listed again only when it changes, not for every new document.
    FolderListing listing_;
    bool listingStale_ = true;
    QFileSystemWatcher folderWatcher_;
    bool haveDocument_ = false;
    bool userChoseFolder_ = false;
    QJsonObject state_;       // the selection and scroll positions to restore on the next load
    bool pageReady_ = false;  // a page is shown and can report its state
    bool askingState_ = false;
    QTimer answerTimer_;       // runs while the page owes an answer
    bool restarting_ = false;  // a stuck renderer was ended and its end is awaited
    QStringList problems_;     // what the page cannot find or show
    QStringList notes_;        // what the page did that the preview stopped
    int loadCount_ = 0;  // tells answers about an earlier load from ones about the current one
};

}  // namespace tessivane
