// SPDX-License-Identifier: MIT
#include "preview/page_guard.h"

#include <QDir>
#include <QFileInfo>
#include <QMutexLocker>

namespace tessivane {

namespace {

// Where a path really is: links and "..", resolved; "" for a path that does not exist.
QString realPath(const QString& path) {
    return QFileInfo(path).canonicalFilePath();
}

bool isPageResource(QWebEngineUrlRequestInfo::ResourceType type) {
    return type == QWebEngineUrlRequestInfo::ResourceTypeImage ||
           type == QWebEngineUrlRequestInfo::ResourceTypeMedia;
}

}  // namespace

void RequestGuard::allow(const QString& page, const QString& realFolder,
                         const QSet<QString>& realNamed) {
    const QMutexLocker lock(&mutex_);
    page_ = QDir::cleanPath(page);
    folder_ = realFolder;
    named_ = realNamed;
}

bool RequestGuard::allows(const QUrl& url, QWebEngineUrlRequestInfo::ResourceType type) const {
    using Info = QWebEngineUrlRequestInfo;
    if (type == Info::ResourceTypeMainFrame) {
        const QMutexLocker lock(&mutex_);
        return url.isLocalFile() && url.host().isEmpty() &&
               QDir::cleanPath(url.toLocalFile()) == page_;
    }
    if (!isPageResource(type)) {
        return false;
    }
    if (url.scheme() == QLatin1String("data")) {
        return true;
    }
    if (!url.isLocalFile() || !url.host().isEmpty()) {
        return false;
    }
    const QFileInfo real(realPath(url.toLocalFile()));
    if (real.filePath().isEmpty() || !real.isFile()) {
        return false;
    }
    const QMutexLocker lock(&mutex_);
    // The named files are pictures and a sound.
    if (named_.contains(real.filePath())) {
        return true;
    }
    // A picture among the folder's own files: not a subfolder's, nor one a link points to
    // elsewhere.
    return !folder_.isEmpty() && real.path() == folder_ && type == Info::ResourceTypeImage;
}

void RequestGuard::interceptRequest(QWebEngineUrlRequestInfo& info) {
    if (!allows(info.requestUrl(), info.resourceType())) {
        info.block(true);
    }
}

bool GuardedPage::acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame) {
    return isMainFrame && url == pageUrl_;
}

QWebEnginePage* GuardedPage::createWindow(WebWindowType) {
    return nullptr;
}

QStringList GuardedPage::chooseFiles(FileSelectionMode, const QStringList&, const QStringList&) {
    return {};
}

void GuardedPage::javaScriptAlert(const QUrl&, const QString&) {
    emit dialogRefused();
}

bool GuardedPage::javaScriptConfirm(const QUrl&, const QString&) {
    // Leaving the page asks here too: the answer lets the preview load the next document.
    emit dialogRefused();
    return true;
}

bool GuardedPage::javaScriptPrompt(const QUrl&, const QString&, const QString&, QString*) {
    emit dialogRefused();
    return false;
}

void containEngine() {
    // WebRTC's connections bypass the request guard: no UDP at all, and TCP only through a proxy
    // that does not exist, loopback addresses included, so that no TURN or STUN server is reached
    // and no name is looked up.
    // A picture drawn on a canvas cannot be read back: for a file: page the engine would let a
    // script read a local picture's pixels that way.
    addEngineFlags(
        "--disable-reading-from-canvas "
        "--force-webrtc-ip-handling-policy=disable_non_proxied_udp "
        "--proxy-server=127.0.0.1:9 --proxy-bypass-list=<-loopback>");
}

void addEngineFlags(const QByteArray& flags) {
    const QByteArray all = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", all.isEmpty() ? flags : all + ' ' + flags);
}

}  // namespace tessivane
