// SPDX-License-Identifier: MIT
#include "preview/preview_page.h"

#include <csignal>

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QUrl>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>

#include "preview/page_folder.h"
#include "preview/page_guard.h"

namespace tessivane {

namespace {

// The script, a function expression that the page calls with the folder's data, with the words
// the file list shows in the user's language.
QString folderViewScript(const QJsonObject& labels) {
    QFile file(QStringLiteral(":/preview/folder_view.js"));
    file.open(QIODevice::ReadOnly);
    const QByteArray json = QJsonDocument(labels).toJson(QJsonDocument::Compact);
    static const QRegularExpression english(QStringLiteral(R"(var labels = \{.*\};)"));
    return QString::fromUtf8(file.readAll())
        .replace(english, QStringLiteral("var labels = %1;").arg(QString::fromUtf8(json)));
}

// The private folder for the page, after removing those that killed previews left behind.
QString newPageFolderTemplate() {
    removeStalePageFolders(QDir::tempPath());
    return pageFolderTemplate(QDir::tempPath());
}

// The page that holds the document's frame; folder_view.js does the rest.
const char kShell[] =
    "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><style>"
    "html, body {margin: 0; height: 100%; overflow: hidden}"
    "iframe {display: block; border: 0; width: 100%; height: 100%}"
    "</style></head><body><iframe id=\"tessivane-document\"></iframe></body></html>\n";

}  // namespace

PreviewPage::PreviewPage(const QJsonObject& labels, QObject* parent)
    : QObject(parent),
      pageDir_(newPageFolderTemplate()),
      profile_(new QWebEngineProfile),  // no storage name: off the record, nothing on disk
      guard_(new RequestGuard(profile_)),
      page_(new GuardedPage(profile_)) {
    profile_->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
    profile_->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
    profile_->setSpellCheckEnabled(false);
    profile_->setUrlRequestInterceptor(guard_);
    // Local content keeps its access to file: URLs: the document's frame, written by the shell,
    // needs it to show the folder's pictures and play the sound. What a script could read
    // through it, the request guard never lets through (page_guard.h).
    QWebEngineSettings* settings = page_->settings();
    for (auto attribute :
         {QWebEngineSettings::PluginsEnabled, QWebEngineSettings::JavascriptCanOpenWindows,
          QWebEngineSettings::JavascriptCanAccessClipboard,
          QWebEngineSettings::LocalContentCanAccessRemoteUrls,
          QWebEngineSettings::HyperlinkAuditingEnabled, QWebEngineSettings::DnsPrefetchEnabled,
          QWebEngineSettings::ErrorPageEnabled, QWebEngineSettings::PdfViewerEnabled,
          QWebEngineSettings::NavigateOnDropEnabled, QWebEngineSettings::AutoLoadIconsForPage,
          QWebEngineSettings::PlaybackRequiresUserGesture}) {
        settings->setAttribute(attribute, false);
    }
    settings->setDefaultTextEncoding(QStringLiteral("utf-8"));

    connect(page_, &QWebEnginePage::loadFinished, this, &PreviewPage::finishLoading);
    connect(page_, &QWebEnginePage::titleChanged, this, &PreviewPage::readTitle);
    connect(page_, &QWebEnginePage::renderProcessTerminated, this, &PreviewPage::handleRendererEnd);
    connect(page_, &GuardedPage::dialogRefused, this, &PreviewPage::dialogRefused);
    answerTimer_.setSingleShot(true);
    answerTimer_.setInterval(kAnswerMs);
    connect(&answerTimer_, &QTimer::timeout, this, &PreviewPage::restartRenderer);

    writeShell();
    page_->setPageUrl(QUrl::fromLocalFile(shellPath_));
    guard_->allow(shellPath_, {}, {});
    injectFolderView(labels);
}

PreviewPage::~PreviewPage() {
    // Nothing the page says on its way out may reach a half-destroyed preview.
    page_->disconnect(this);
    answerTimer_.stop();
    // The page must go before its profile.
    delete page_;
    delete profile_;
}

QWebEnginePage* PreviewPage::page() const {
    return page_;
}

void PreviewPage::writeShell() {
    shellPath_ = pageDir_.filePath(QStringLiteral("shell.html"));
    QFile shell(shellPath_);
    shellWritten_ = pageDir_.isValid() && shell.open(QIODevice::WriteOnly) &&
                    shell.write(kShell, qint64(sizeof kShell - 1)) == qint64(sizeof kShell - 1) &&
                    shell.flush();
    if (!shellWritten_) {
        shellError_ = pageDir_.isValid() ? shell.errorString() : pageDir_.errorString();
    }
    shell.close();
}

void PreviewPage::injectFolderView(const QJsonObject& labels) {
    QWebEngineScript injected;
    injected.setName(QStringLiteral("tessivane-folder-view"));
    injected.setInjectionPoint(QWebEngineScript::DocumentCreation);
    injected.setWorldId(QWebEngineScript::MainWorld);
    injected.setRunsOnSubFrames(false);
    injected.setSourceCode(folderViewScript(labels));
    page_->scripts().insert(injected);
}

void PreviewPage::loadShell() {
    ready_ = false;
    ++generation_;
    unanswered_ = 0;
    answerTimer_.stop();
    emit shellLoading();
    page_->load(QUrl::fromLocalFile(shellPath_));
}

void PreviewPage::finishLoading(bool ok) {
    if (!ok || ready_) {
        return;
    }
    ready_ = true;
    emit shellReady();
}

void PreviewPage::readTitle(const QString& title) {
    // The shell says in its title which document it shows once the file list is painted.
    static const QLatin1String prefix("shown ");
    if (title.startsWith(prefix)) {
        emit documentShown(title.mid(prefix.size()).toInt());
    }
}

void PreviewPage::runInShell(const QString& script) {
    ++unanswered_;
    if (!answerTimer_.isActive()) {
        answerTimer_.start();
    }
    const int generation = generation_;
    page_->runJavaScript(script, [this, generation](const QVariant&) {
        if (generation != generation_) {
            return;
        }
        if (--unanswered_ == 0) {
            answerTimer_.stop();
        } else {
            answerTimer_.start();  // the next answer gets its own time
        }
    });
}

void PreviewPage::allow(const QString& realFolder, const QSet<QString>& realNamed) {
    guard_->allow(shellPath_, realFolder, realNamed);
}

void PreviewPage::silence() {
    page_->setAudioMuted(true);
    page_->runJavaScript(QStringLiteral("window.tessivane && tessivane.playSound(false)"));
}

void PreviewPage::restartRenderer() {
    emit stoppedAnswering();
    const qint64 pid = page_->renderProcessPid();
    ++generation_;  // nothing the stuck page says still counts
    unanswered_ = 0;
    if (pid <= 0) {
        loadShell();
        return;
    }
    restarting_ = true;
    ::kill(pid_t(pid), SIGKILL);
}

void PreviewPage::handleRendererEnd(QWebEnginePage::RenderProcessTerminationStatus status) {
    ready_ = false;
    if (restarting_) {
        restarting_ = false;
        loadShell();
        return;
    }
    if (status == QWebEnginePage::NormalTerminationStatus) {
        return;
    }
    ++generation_;  // nothing the stopped page said still counts
    unanswered_ = 0;
    answerTimer_.stop();
    emit rendererStopped();
}

}  // namespace tessivane
