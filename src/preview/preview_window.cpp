// SPDX-License-Identifier: MIT
#include "preview/preview_window.h"

#include <signal.h>
#include <unistd.h>

#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include "controls/file_services.h"
#include "controls/utility_services.h"
#include "document/core.h"
#include "preview/folder_listing.h"
#include "preview/page_folder.h"
#include "preview/page_guard.h"

// The compatibility script lives in the static library's resources, which need registering by
// hand; Q_INIT_RESOURCE cannot be used inside a namespace.
static void registerPreviewResources() {
    Q_INIT_RESOURCE(preview);
}

namespace tessivane {

namespace {

// The script, a function expression that the window calls with the folder's data.
QString folderViewScript() {
    QFile file(QStringLiteral(":/preview/folder_view.js"));
    file.open(QIODevice::ReadOnly);
    return QString::fromUtf8(file.readAll());
}

// What the file manager fills in when it shows the page for a folder.
QString fillInFolder(QString text, const QString& name, const QString& path) {
    return text.replace(QLatin1String("%THISDIRNAME%"), name.toHtmlEscaped())
        .replace(QLatin1String("%THISDIRPATH%"), path.toHtmlEscaped())
        .replace(QLatin1String("%TEMPLATEDIR%"), path.toHtmlEscaped());
}

// The private folder for the page, after removing those that killed previews left behind.
QString newPageFolderTemplate() {
    removeStalePageFolders(QDir::tempPath());
    return pageFolderTemplate(QDir::tempPath());
}

// Writes the page as UTF-8 whatever the document's encoding was, marked with a byte order mark so
// that nothing guesses the encoding again. Returns why it failed, or "".
QString writePage(const QString& path, const QString& html) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write("\xEF\xBB\xBF" + html.toUtf8()) < 0 || !file.flush())
        return file.errorString();
    return {};
}

}  // namespace

PreviewWindow::PreviewWindow(QWidget* parent)
    : QWidget(parent),
      pageDir_(newPageFolderTemplate()),
      profile_(new QWebEngineProfile),  // no storage name: off the record, nothing on disk
      guard_(new RequestGuard(profile_)),
      page_(new GuardedPage(profile_)),
      view_(new QWebEngineView),
      stack_(new QStackedWidget),
      strip_(new QLabel),
      folderBox_(new QLineEdit),
      playSoundBox_(new QCheckBox(tr("Play sound"))) {
    registerPreviewResources();
    setWindowTitle(tr("Preview"));
    chooseFolder = [](QWidget* parent, const QString& start) {
        return QFileDialog::getExistingDirectory(parent, tr("Show the Page for the Folder"), start);
    };

    profile_->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
    profile_->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
    profile_->setSpellCheckEnabled(false);
    profile_->setUrlRequestInterceptor(guard_);
    QWebEngineSettings* settings = page_->settings();
    for (auto attribute :
         {QWebEngineSettings::PluginsEnabled, QWebEngineSettings::JavascriptCanOpenWindows,
          QWebEngineSettings::JavascriptCanAccessClipboard,
          QWebEngineSettings::LocalContentCanAccessRemoteUrls, QWebEngineSettings::ErrorPageEnabled,
          QWebEngineSettings::PdfViewerEnabled, QWebEngineSettings::NavigateOnDropEnabled,
          QWebEngineSettings::AutoLoadIconsForPage,
          QWebEngineSettings::PlaybackRequiresUserGesture})
        settings->setAttribute(attribute, false);
    settings->setDefaultTextEncoding(QStringLiteral("utf-8"));
    view_->setPage(page_);

    strip_->setObjectName(QStringLiteral("previewStrip"));
    strip_->setTextFormat(Qt::PlainText);
    strip_->setWordWrap(true);
    strip_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    strip_->setStyleSheet(QStringLiteral("QLabel { background: #fff4c4; padding: 4px; }"));
    showStrip();

    folderBox_->setObjectName(QStringLiteral("previewFolder"));
    playSoundBox_->setObjectName(QStringLiteral("previewPlaySound"));
    auto* folderLabel = new QLabel(tr("&Folder:"));
    folderLabel->setBuddy(folderBox_);
    auto* browse = new QToolButton;
    browse->setText(QStringLiteral("..."));
    browse->setToolTip(tr("Choose the folder the page describes"));
    auto* row = new QHBoxLayout;
    row->addWidget(folderLabel);
    row->addWidget(folderBox_, 1);
    row->addWidget(browse);
    row->addWidget(playSoundBox_);

    auto* stoppedPage = new QWidget;
    auto* stoppedLayout = new QVBoxLayout(stoppedPage);
    auto* reloadButton = new QPushButton(tr("&Reload"));
    reloadButton->setObjectName(QStringLiteral("previewReload"));
    stoppedLayout->addStretch();
    stoppedLayout->addWidget(new QLabel(tr("The preview stopped")), 0, Qt::AlignHCenter);
    stoppedLayout->addWidget(reloadButton, 0, Qt::AlignHCenter);
    stoppedLayout->addStretch();
    stack_->addWidget(view_);
    stack_->addWidget(stoppedPage);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* controls = new QVBoxLayout;
    controls->setContentsMargins(6, 6, 6, 6);
    controls->addWidget(strip_);
    controls->addLayout(row);
    layout->addLayout(controls);
    layout->addWidget(stack_, 1);

    connect(folderBox_, &QLineEdit::editingFinished, this, &PreviewWindow::showTypedFolder);
    connect(browse, &QToolButton::clicked, this, &PreviewWindow::pickFolder);
    connect(playSoundBox_, &QCheckBox::toggled, this, &PreviewWindow::playSound);
    connect(reloadButton, &QPushButton::clicked, this, &PreviewWindow::reload);
    connect(page_, &QWebEnginePage::loadFinished, this, &PreviewWindow::finishLoading);
    // Files added, removed or renamed in the folder show at once, the selection kept.
    connect(&folderWatcher_, &QFileSystemWatcher::directoryChanged, this, [this] {
        listingStale_ = true;
        keepStateAndLoad();
    });
    connect(page_, &QWebEnginePage::renderProcessTerminated, this, &PreviewWindow::showStopped);
    connect(page_, &GuardedPage::dialogRefused, this, [this] {
        const QString note = tr("The page asked to show a message box; the preview shows none.");
        if (!notes_.contains(note)) {
            notes_ << note;
            showStrip();
        }
    });
    answerTimer_.setSingleShot(true);
    answerTimer_.setInterval(kAnswerMs);
    connect(&answerTimer_, &QTimer::timeout, this, &PreviewWindow::restartRenderer);

    showFolder(QDir::homePath());
    resize(900, 600);
}

PreviewWindow::~PreviewWindow() {
    // Nothing may call back into a window that is half gone: the folder box reports its editing
    // finished when it loses the focus on destruction, the page that its renderer ended.
    folderBox_->disconnect(this);
    page_->disconnect(this);
    answerTimer_.stop();
    // The page must go before its profile, and the view that shows it before the page.
    delete view_;
    delete page_;
    delete profile_;
}

QWebEnginePage* PreviewWindow::page() const {
    return page_;
}

QString PreviewWindow::stripText() const {
    return strip_->isHidden() ? QString() : strip_->text();
}

bool PreviewWindow::stopped() const {
    return stack_->currentWidget() != view_;
}

void PreviewWindow::receiveFrame(const QByteArray& name, const QByteArray& payload) {
    if (name == "title") {
        setWindowTitle(tr("Preview - %1").arg(QString::fromUtf8(payload)));
    } else if (name == "folder") {
        if (!userChoseFolder_)
            showFolder(QString::fromUtf8(payload));
    } else if (name == "document") {
        showDocument(payload);
    }
}

void PreviewWindow::showDocument(const QByteArray& bytes) {
    document_ = bytes;
    notes_.clear();  // they were about the page before
    haveDocument_ = true;
    keepStateAndLoad();
}

void PreviewWindow::showFolder(const QString& folder) {
    if (!folderWatcher_.directories().isEmpty())
        folderWatcher_.removePaths(folderWatcher_.directories());
    if (QFileInfo(folder).isDir())
        folderWatcher_.addPath(folder);
    folder_ = folder;
    listingStale_ = true;
    folderBox_->setText(folder);
    state_ = {};  // another folder's selection means nothing here
    load();
}

void PreviewWindow::showTypedFolder() {
    if (folderBox_->text() == folder_)
        return;
    userChoseFolder_ = true;
    showFolder(folderBox_->text());
}

void PreviewWindow::pickFolder() {
    const QString chosen = chooseFolder(this, folder_);
    if (chosen.isEmpty())
        return;
    userChoseFolder_ = true;
    showFolder(chosen);
}

void PreviewWindow::playSound(bool play) {
    page_->runJavaScript(QStringLiteral("window.tessivane && tessivane.playSound(%1)")
                             .arg(play ? QLatin1String("true") : QLatin1String("false")));
}

void PreviewWindow::keepStateAndLoad() {
    if (restarting_)
        return;  // the new renderer shows the newest document
    if (page_->renderProcessPid() <= 0) {
        load();  // no renderer to ask
        return;
    }
    if (askingState_)
        return;  // the answer on its way loads the newest document
    askingState_ = true;
    answerTimer_.start();
    // A page still loading has no state to report, only whether it answers; the state kept
    // before stays.
    const bool ready = pageReady_;
    const int asked = loadCount_;
    page_->runJavaScript(ready ? QStringLiteral("window.tessivane ? tessivane.state() : null")
                               : QStringLiteral("null"),
                         [this, asked, ready](const QVariant& state) {
                             if (asked != loadCount_ || restarting_)
                                 return;
                             answerTimer_.stop();
                             askingState_ = false;
                             if (ready && state.typeId() == QMetaType::QVariantMap)
                                 state_ = QJsonObject::fromVariantMap(state.toMap());
                             load();
                         });
}

void PreviewWindow::restartRenderer() {
    askingState_ = false;
    const qint64 pid = page_->renderProcessPid();
    const QString note = tr("The page stopped answering and was restarted.");
    if (!notes_.contains(note))
        notes_ << note;
    if (pid <= 0) {
        load();
        return;
    }
    restarting_ = true;
    ++loadCount_;  // nothing the stuck page says still counts
    ::kill(pid_t(pid), SIGKILL);
}

void PreviewWindow::load() {
    if (!haveDocument_)
        return;
    ++loadCount_;
    pageReady_ = false;
    askingState_ = false;
    answerTimer_.stop();

    QStringList problems;
    const std::string bytes = document_.toStdString();
    const WorkingDocument document = WorkingDocument::fromBytes(bytes);
    // Another page's lines at the settings' places hold no settings: it names no files.
    ReadOutcome outcome;
    const bool ours = hasMarkerLine(document);
    const FolderViewSettings settings =
        ours ? readFolderViewSettings(document, &outcome) : FolderViewSettings{};
    if (!ours)
        problems << tr("This is not a document Tessivane wrote: it is shown as it is.");
    else if (!outcome.complete)
        problems << tr("The document ends before line %1: settings after it are missing.")
                        .arg(outcome.missingLine + 1);

    if (listingStale_) {
        listing_ = listFolder(folder_);
        listingStale_ = false;
    }
    const FolderListing& listing = listing_;
    if (!listing.problem.isEmpty())
        problems << listing.problem;
    const QJsonObject folder = listing.data.value(QStringLiteral("folder")).toObject();
    const QString folderPath = folder.value(QStringLiteral("path")).toString();

    // The three files the document names, relative names counting from the folder as the
    // page's <base> makes them.
    QSet<QString> allowed;
    QJsonValue sound;
    for (const std::string* setting :
         {&settings.soundFile, &settings.backgroundImage, &settings.lineImage}) {
        if (setting->empty())
            continue;
        const QString named = QString::fromStdString(*setting);
        const QString path = QDir(folderPath).absoluteFilePath(named);
        allowed.insert(path);
        if (!fileExists(path))
            problems << tr("Not found: %1").arg(named);
        else if (setting == &settings.soundFile)
            sound = QJsonObject{
                {QStringLiteral("url"), QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded)},
                {QStringLiteral("loop"),
                 settings.loopForever
                     ? 0
                     : std::max(1,
                                QString::fromStdString(wholeNumber(settings.loopCount)).toInt())},
            };
    }

    // The page as the file manager would show it, the folder filled in.
    const QString text = document.encoding() == TextEncoding::Utf8 ? QString::fromUtf8(document_)
                                                                   : QString::fromLatin1(document_);
    const QString pagePath = pageDir_.filePath(QStringLiteral("page.html"));
    const QString written =
        pageDir_.isValid()
            ? writePage(
                  pagePath,
                  fillInFolder(text, folder.value(QStringLiteral("name")).toString(), folderPath))
            : pageDir_.errorString();
    if (!written.isEmpty()) {
        problems << tr("The page cannot be written to %1: %2").arg(pagePath, written);
        problems_ = problems;
        showStrip();
        return;  // the page shown before stays
    }
    guard_->allow(pagePath, folderPath, allowed);
    problems_ = problems;
    showStrip();

    QJsonObject data = listing.data;
    data[QStringLiteral("sound")] = sound;
    data[QStringLiteral("playSound")] = playSoundBox_->isChecked();
    data[QStringLiteral("restore")] = state_;
    static const QString script = folderViewScript();
    QWebEngineScript injected;
    injected.setName(QStringLiteral("tessivane-folder-view"));
    injected.setInjectionPoint(QWebEngineScript::DocumentCreation);
    injected.setWorldId(QWebEngineScript::MainWorld);
    injected.setRunsOnSubFrames(false);
    injected.setSourceCode(script + u'(' +
                           QString::fromUtf8(QJsonDocument(data).toJson(QJsonDocument::Compact)) +
                           QStringLiteral(");\n"));
    page_->scripts().clear();
    page_->scripts().insert(injected);

    const QUrl url = QUrl::fromLocalFile(pagePath);
    page_->setPageUrl(url);
    page_->load(url);
    stack_->setCurrentWidget(view_);
}

void PreviewWindow::finishLoading(bool ok) {
    if (!ok)
        return;
    const int loaded = loadCount_;
    page_->runJavaScript(QStringLiteral("window.tessivane && tessivane.restore()"),
                         [this, loaded](const QVariant&) {
                             if (loaded != loadCount_ || pageReady_)
                                 return;
                             pageReady_ = true;
                             emit pageShown();
                         });
}

void PreviewWindow::showStopped(QWebEnginePage::RenderProcessTerminationStatus status) {
    if (restarting_) {
        restarting_ = false;
        load();
        return;
    }
    if (status == QWebEnginePage::NormalTerminationStatus)
        return;
    ++loadCount_;  // nothing the stopped page said still counts
    pageReady_ = false;
    askingState_ = false;
    answerTimer_.stop();
    stack_->setCurrentIndex(1);
}

void PreviewWindow::reload() {
    listingStale_ = true;
    notes_.clear();
    load();
}

void PreviewWindow::showStrip() {
    QStringList lines = problems_ + notes_;
    if (::geteuid() == 0)
        lines << tr("Running as root: the page runs without the browser's sandbox.");
    strip_->setText(lines.join(u'\n'));
    strip_->setVisible(!lines.isEmpty());
}

void PreviewWindow::closeEvent(QCloseEvent* event) {
    page_->setAudioMuted(true);
    page_->runJavaScript(QStringLiteral("window.tessivane && tessivane.playSound(false)"));
    QWidget::closeEvent(event);
}

}  // namespace tessivane
