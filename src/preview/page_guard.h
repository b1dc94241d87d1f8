// SPDX-License-Identifier: MIT
#pragma once
// What keeps an untrusted template contained: RequestGuard lets the profile load only the page
// itself, the chosen folder and its entries, the files the document names and data: URLs, and
// blocks every other request (other local files, the network). GuardedPage refuses every
// navigation but the preview's own loads and every new window. Choosing what to allow for a
// document is left to the preview window.
#include <QMutex>
#include <QSet>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineUrlRequestInterceptor>

namespace tessivane {

class RequestGuard : public QWebEngineUrlRequestInterceptor {
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;

    // Replaces what may be loaded: these local files, and the folder with its direct entries.
    void allow(const QSet<QString>& files, const QString& folder);
    bool allows(const QUrl& url) const;
    void interceptRequest(QWebEngineUrlRequestInfo& info) override;

private:
    mutable QMutex mutex_;  // Qt may ask from another thread than the one that sets the lists
    QSet<QString> files_;
    QString folder_;
};

class GuardedPage : public QWebEnginePage {
    Q_OBJECT
public:
    using QWebEnginePage::QWebEnginePage;

    // The one address the page may navigate to.
    void setPageUrl(const QUrl& url) { pageUrl_ = url; }

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    QWebEnginePage* createWindow(WebWindowType type) override;

private:
    QUrl pageUrl_;
};

}  // namespace tessivane
