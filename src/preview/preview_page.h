// SPDX-License-Identifier: MIT
#pragma once
// The preview's page: a shell page, written once to a private folder and loaded, that keeps the
// folder's entries and shows each document in a frame of its own (folder_view.js, which the page
// gets before any of the shell's own script runs). It runs in an off-the-record profile, nothing
// of it kept on disk, that page_guard.h keeps contained: the page reads no file and reaches no
// network but what allow() lets through.
//
// Every script goes through runInShell(). A shell that does not answer within kAnswerMs is taken
// to be stuck in a script of the document's: its renderer is ended and a new one loads the shell
// again. What the page does is reported through signals; what the user is told of it, and what a
// new shell is sent, is the window's business (preview_window.h).
#include <QJsonObject>
#include <QObject>
#include <QSet>
#include <QString>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEnginePage>

class QWebEngineProfile;

namespace tessivane {

class GuardedPage;
class RequestGuard;

class PreviewPage : public QObject {
    Q_OBJECT
public:
    // The labels are the words the file list shows, in the user's language (folder_view.js).
    explicit PreviewPage(const QJsonObject& labels, QObject* parent = nullptr);
    ~PreviewPage() override;

    QWebEnginePage* page() const;
    // Whether the shell page was written to its private folder; when it was not, where it was to
    // go and why it could not.
    bool shellWritten() const { return shellWritten_; }
    QString shellPath() const { return shellPath_; }
    QString shellError() const { return shellError_; }
    // The shell is loaded and takes scripts.
    bool isReady() const { return ready_; }
    // A stuck renderer was ended and its end is awaited.
    bool isRestarting() const { return restarting_; }

    // Loads the shell; shellReady() says when it is loaded.
    void loadShell();
    // Runs a script in the shell; a shell that does not answer within kAnswerMs is taken to be
    // stuck and its renderer replaced.
    void runInShell(const QString& script);
    // Replaces what the page may load besides the shell: the folder's own files and the named
    // files, given as they really are, links resolved.
    void allow(const QString& realFolder, const QSet<QString>& realNamed);
    // Mutes the page and stops the sound the shell plays.
    void silence();

signals:
    // A new shell is loading: nothing the old one showed is shown any more.
    void shellLoading();
    // The shell is loaded: it needs the listing, the folder's look and the document.
    void shellReady();
    // The shell shows the document of that number, with the file list painted.
    void documentShown(int number);
    // The page did not answer in time: its renderer is being ended, and a new one loads the shell.
    void stoppedAnswering();
    // The renderer ended by itself: the page shows nothing until the shell is loaded again.
    void rendererStopped();
    // The page asked for a dialog, which was answered without showing one.
    void dialogRefused();

private slots:
    void finishLoading(bool ok);
    void readTitle(const QString& title);
    // The page did not answer in time: its renderer is ended, and a new one shows the shell.
    void restartRenderer();
    void handleRendererEnd(QWebEnginePage::RenderProcessTerminationStatus status);

private:
    void writeShell();
    void injectFolderView(const QJsonObject& labels);

    // How long the page may take to answer before it is taken to be stuck.
    static constexpr int kAnswerMs = 1000;

    QTemporaryDir pageDir_;
    QString shellPath_;
    bool shellWritten_ = false;
    QString shellError_;
    QWebEngineProfile* profile_;
    RequestGuard* guard_;
    GuardedPage* page_;

    bool ready_ = false;
    int generation_ = 0;  // tells answers from an ended renderer from the current one's
    int unanswered_ = 0;
    QTimer answerTimer_;       // runs while the shell owes an answer
    bool restarting_ = false;  // a stuck renderer was ended and its end is awaited
};

}  // namespace tessivane
