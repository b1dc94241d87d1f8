// SPDX-License-Identifier: MIT
#include "preview/page_guard.h"

#include <QDir>
#include <QFileInfo>
#include <QMutexLocker>
#include <QWebEngineUrlRequestInfo>

namespace tessivane {

void RequestGuard::allow(const QSet<QString>& files, const QString& folder) {
    QSet<QString> cleaned;
    for (const QString& file : files)
        cleaned.insert(QDir::cleanPath(file));
    const QMutexLocker lock(&mutex_);
    files_ = std::move(cleaned);
    folder_ = QDir::cleanPath(folder);
}

bool RequestGuard::allows(const QUrl& url) const {
    if (url.scheme() == QLatin1String("data"))
        return true;
    if (!url.isLocalFile() || !url.host().isEmpty())
        return false;
    const QString path = QDir::cleanPath(url.toLocalFile());
    const QMutexLocker lock(&mutex_);
    return files_.contains(path) || path == folder_ ||
           (!folder_.isEmpty() && QFileInfo(path).path() == folder_);
}

void RequestGuard::interceptRequest(QWebEngineUrlRequestInfo& info) {
    if (!allows(info.requestUrl()))
        info.block(true);
}

bool GuardedPage::acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame) {
    return isMainFrame && url == pageUrl_;
}

QWebEnginePage* GuardedPage::createWindow(WebWindowType) {
    return nullptr;
}

}  // namespace tessivane
