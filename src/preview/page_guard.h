// SPDX-License-Identifier: MIT
#pragma once
// What keeps an untrusted template contained. A template is a web page that may come from anyone,
// so nothing it runs may read a file or reach the network:
// - RequestGuard lets the profile load the page itself as the main frame, pictures from the
//   chosen folder's own files, and the pictures and the sound the document names. It blocks
//   every other request: scripts, style sheets, fonts, frames, workers, XHR and fetch, other
//   local files, the network. A path is judged by where it really is, links resolved, so a link
//   in the folder that points out of it is not followed. What is let through is shown, never
//   read: no script can read back a picture drawn on a canvas (containEngine()).
// - GuardedPage refuses every navigation but the preview's own loads, every new window, file
//   choosers and the page's dialogs (alert, confirm, prompt, leaving the page), answering them at
//   once without showing anything.
// - containEngine() keeps WebRTC, whose connections the request guard never sees, off the
//   network; the preview program also runs in a network namespace of its own where the system
//   allows it (main.cpp), so that nothing could leave even past the engine's own rules.
#include <QByteArray>
#include <QMutex>
#include <QSet>
#include <QString>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineUrlRequestInfo>
#include <QWebEngineUrlRequestInterceptor>

namespace tessivane {

class RequestGuard : public QWebEngineUrlRequestInterceptor {
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;

    // Replaces what may be loaded: the page, the folder's own files, and the named files. The
    // folder and the named files are given as they really are, links resolved, so that the
    // guard itself never waits on the file system.
    void allow(const QString& page, const QString& realFolder, const QSet<QString>& realNamed);
    bool allows(const QUrl& url, QWebEngineUrlRequestInfo::ResourceType type) const;
    void interceptRequest(QWebEngineUrlRequestInfo& info) override;

private:
    mutable QMutex mutex_;  // Qt asks from its IO thread, while the window sets the lists
    QString page_;
    QString folder_;       // with links resolved
    QSet<QString> named_;  // with links resolved
};

class GuardedPage : public QWebEnginePage {
    Q_OBJECT
public:
    using QWebEnginePage::QWebEnginePage;

    // The one address the page may navigate to.
    void setPageUrl(const QUrl& url) { pageUrl_ = url; }

signals:
    // The page asked for a dialog, which was answered without showing one.
    void dialogRefused();

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    QWebEnginePage* createWindow(WebWindowType type) override;
    QStringList chooseFiles(FileSelectionMode mode, const QStringList& oldFiles,
                            const QStringList& acceptedMimeTypes) override;
    void javaScriptAlert(const QUrl& securityOrigin, const QString& msg) override;
    bool javaScriptConfirm(const QUrl& securityOrigin, const QString& msg) override;
    bool javaScriptPrompt(const QUrl& securityOrigin, const QString& msg,
                          const QString& defaultValue, QString* result) override;

private:
    QUrl pageUrl_;
};

// Sets the browser engine's flags that keep the page off the network where the request guard
// cannot see: WebRTC. Must run before the engine starts, that is before QApplication.
void containEngine();

// Adds flags to those the browser engine starts with, after any the user set. Must run before
// QApplication.
void addEngineFlags(const QByteArray& flags);

}  // namespace tessivane
