// SPDX-License-Identifier: MIT
#include "preview/preview_window.h"

#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QIcon>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMimeDatabase>
#include <QPushButton>
#include <QSettings>
#include <QStackedWidget>
#include <QStyle>
#include <QTextDocument>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEngineView>
#include <algorithm>
#include <utility>

#include "document/core.h"
#include "preview/background.h"
#include "preview/folder_listing.h"
#include "preview/folder_look.h"
#include "preview/named_files.h"
#include "preview/preview_page.h"

namespace tessivane {

namespace {

// The words the file list shows, in the user's language.
QJsonObject fileListLabels() {
    return {
        {QStringLiteral("files"), PreviewWindow::tr("Files")},
        {QStringLiteral("columns"),
         QJsonArray{PreviewWindow::tr("Name"), PreviewWindow::tr("Size"), PreviewWindow::tr("Type"),
                    PreviewWindow::tr("Modified"), PreviewWindow::tr("Attributes")}}};
}

// What the file manager fills in when it shows the page for a folder.
QString fillInFolder(QString text, const QString& name, const QString& path) {
    return text.replace(QLatin1String("%THISDIRNAME%"), name.toHtmlEscaped())
        .replace(QLatin1String("%THISDIRPATH%"), path.toHtmlEscaped())
        .replace(QLatin1String("%TEMPLATEDIR%"), path.toHtmlEscaped());
}

// The icon theme's picture for a type, its generic one, or the style's file or folder icon: a
// bare system has no icon theme at all. As a PNG data: URL.
QString typeIconUrl(const QString& typeName, int size = 16) {
    const QMimeType type = QMimeDatabase().mimeTypeForName(typeName);
    QIcon icon = QIcon::fromTheme(type.iconName());
    if (icon.isNull()) {
        icon = QIcon::fromTheme(type.genericIconName());
    }
    if (icon.isNull()) {
        icon = QApplication::style()->standardIcon(typeName == QLatin1String("inode/directory")
                                                       ? QStyle::SP_DirIcon
                                                       : QStyle::SP_FileIcon);
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    icon.pixmap(QSize(size, size), 1.0).save(&buffer, "PNG");
    return QStringLiteral("data:image/png;base64,") + QString::fromLatin1(png.toBase64());
}

// A file's place as the page's setting lines can hold it: the path of its file: URL, encoded
// so that it can stand in a CSS url() and in an HTML attribute.
QString pagePath(const QString& real) {
    QString path = QUrl::fromLocalFile(real).toString(QUrl::FullyEncoded).mid(7);
    for (const char c : {'(', ')', '\'', '"', '&'}) {
        path.replace(QLatin1Char(c), QStringLiteral("%%1").arg(int(c), 2, 16, QLatin1Char('0')));
    }
    return path;
}

// How the page writes a name on a setting line, and what stands there instead: the file found,
// or, for a name that is not shown, nothing to load.
QPair<QString, QString> pageName(int line, const QString& name, const QString& real) {
    if (line == lines::kPanel) {
        return {QStringLiteral("URL(file://%1)").arg(name),
                real.isEmpty() ? QStringLiteral("none")
                               : QStringLiteral("URL(file://%1)").arg(pagePath(real))};
    }
    return {QStringLiteral("src=\"%1\"").arg(name),
            QStringLiteral("src=\"%1\"").arg(real.isEmpty() ? QString() : pagePath(real))};
}

// What the strip says of a name that Windows would not show, or "" for one that it shows.
QString namedFileProblem(const QString& name, NamedFile::Outcome outcome) {
    switch (outcome) {
        case NamedFile::Outcome::Found:
            break;
        case NamedFile::Outcome::OnlyHere:
            return PreviewWindow::tr(
                       "'%1': found only on this machine; Use for Folder copies it in")
                .arg(name);
        case NamedFile::Outcome::NotChecked:
            return PreviewWindow::tr("'%1': not checked on this machine").arg(name);
        case NamedFile::Outcome::Missing:
            return PreviewWindow::tr("Not found: %1").arg(name);
    }
    return {};
}

// Windows shows at most this many characters of a folder's comment.
constexpr qsizetype kMaxCommentLength = 1024;

QString jsArguments(const QJsonArray& arguments) {
    const QByteArray json = QJsonDocument(arguments).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(json.mid(1, json.size() - 2));
}

}  // namespace

PreviewWindow::PreviewWindow(QWidget* parent)
    : QWidget(parent), page_(new PreviewPage(fileListLabels(), this)) {
    setWindowTitle(tr("Preview"));
    chooseFolder = [](QWidget* parent, const QString& start) {
        return QFileDialog::getExistingDirectory(parent, tr("Show the Page for the Folder"), start);
    };
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(createFolderBar());
    layout->addWidget(createStrip());  // under the box, which it never moves
    layout->addWidget(createView(), 1);
    connectPage();
    connectListing();
    restoreWindowGeometry();
    showFolder(QDir::homePath());
    page_->loadShell();
}

PreviewWindow::~PreviewWindow() {
    // Nothing may call back into a window that is half gone: the folder box reports its editing
    // finished when it loses the focus on destruction, the page that its renderer ended.
    folderBox_->disconnect(this);
    page_->disconnect(this);
    QSettings().setValue(QStringLiteral("geometry"), saveGeometry());
    // The view that shows the page must go before it.
    delete view_;
    delete page_;
}

QLayout* PreviewWindow::createFolderBar() {
    folderBox_ = new QLineEdit;
    folderBox_->setObjectName(QStringLiteral("previewFolder"));
    folderIcon_ = folderBox_->addAction(QIcon(), QLineEdit::LeadingPosition);
    folderIcon_->setObjectName(QStringLiteral("previewFolderIcon"));
    folderIcon_->setVisible(false);
    playSoundBox_ = new QCheckBox(tr("Play sound"));
    playSoundBox_->setObjectName(QStringLiteral("previewPlaySound"));
    auto* folderLabel = new QLabel(tr("&Folder:"));
    folderLabel->setBuddy(folderBox_);
    auto* browse = new QToolButton;
    browse->setObjectName(QStringLiteral("previewBrowse"));
    browse->setText(QStringLiteral("..."));
    browse->setToolTip(tr("Choose the folder the page describes"));
    browse->setAccessibleName(tr("Choose folder…"));
    auto* row = new QHBoxLayout;
    row->addWidget(folderLabel);
    row->addWidget(folderBox_, 1);
    row->addWidget(browse);
    row->addWidget(playSoundBox_);
    auto* controls = new QVBoxLayout;
    controls->setContentsMargins(6, 6, 6, 6);
    controls->addLayout(row);

    connect(folderBox_, &QLineEdit::editingFinished, this, &PreviewWindow::showTypedFolder);
    connect(browse, &QToolButton::clicked, this, &PreviewWindow::pickFolder);
    connect(playSoundBox_, &QCheckBox::toggled, this, &PreviewWindow::playSound);
    return controls;
}

QWidget* PreviewWindow::createStrip() {
    strip_ = new QLabel;
    strip_->setObjectName(QStringLiteral("previewStrip"));
    strip_->setAccessibleName(tr("Notices"));
    strip_->setTextFormat(Qt::PlainText);
    strip_->setWordWrap(false);
    strip_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    strip_->setStyleSheet(QStringLiteral("QLabel { background: #fff4c4; padding: 2px 6px; }"));
    // The strip also says when the page had nowhere to be written.
    if (!page_->shellWritten()) {
        notes_ << tr("The page cannot be written to %1: %2")
                      .arg(page_->shellPath(), page_->shellError());
    }
    return strip_;
}

// The web view, and in its place once the page's renderer has stopped, a button to start it again.
QWidget* PreviewWindow::createView() {
    view_ = new QWebEngineView;
    view_->setPage(page_->page());
    // The page takes the keys (the file list's arrows, Ctrl+A) once the tab key reaches it.
    view_->setAccessibleName(tr("Folder page"));
    // The engine draws the page in a widget of its own, which takes the focus for the view; a
    // screen reader must hear the view's name there too.
    connect(view_, &QWebEngineView::loadFinished, this, [this] {
        if (QWidget* drawn = view_->focusProxy()) {
            drawn->setAccessibleName(view_->accessibleName());
        }
    });

    auto* stoppedPage = new QWidget;
    auto* stoppedLayout = new QVBoxLayout(stoppedPage);
    auto* reloadButton = new QPushButton(tr("&Reload"));
    reloadButton->setObjectName(QStringLiteral("previewReload"));
    stoppedLayout->addStretch();
    stoppedLayout->addWidget(new QLabel(tr("The preview stopped")), 0, Qt::AlignHCenter);
    stoppedLayout->addWidget(reloadButton, 0, Qt::AlignHCenter);
    stoppedLayout->addStretch();
    connect(reloadButton, &QPushButton::clicked, this, &PreviewWindow::reload);

    stack_ = new QStackedWidget;
    stack_->addWidget(view_);
    stack_->addWidget(stoppedPage);
    return stack_;
}

void PreviewWindow::connectPage() {
    connect(page_, &PreviewPage::shellLoading, this, [this] {
        shownNumber_ = 0;  // the new shell shows the newest document again
        stack_->setCurrentWidget(view_);
    });
    connect(page_, &PreviewPage::shellReady, this, &PreviewWindow::fillShell);
    connect(page_, &PreviewPage::documentShown, this, &PreviewWindow::reportShown);
    connect(page_, &PreviewPage::stoppedAnswering, this,
            [this] { addNote(tr("The page stopped answering and was restarted.")); });
    connect(page_, &PreviewPage::rendererStopped, this, &PreviewWindow::showStopped);
    connect(page_, &PreviewPage::dialogRefused, this, [this] {
        addNote(tr("The page asked to show a message box; the preview shows none."));
    });
}

void PreviewWindow::connectListing() {
    // Files added, removed or renamed in the folder show at once, the selection kept.
    connect(&folderWatcher_, &QFileSystemWatcher::directoryChanged, this,
            [this] { showFolder(folder_, true); });
    connect(&lister_, &FolderLister::started, this, &PreviewWindow::startListing);
    connect(&lister_, &FolderLister::listed, this, &PreviewWindow::addEntries);
    connect(&lister_, &FolderLister::finished, this,
            [this] { sendListing(QStringLiteral("tessivane.endListing()")); });
}

void PreviewWindow::restoreWindowGeometry() {
    if (!restoreGeometry(QSettings().value(QStringLiteral("geometry")).toByteArray())) {
        resize(1000, 720);
    }
}

QWebEnginePage* PreviewWindow::page() const {
    return page_->page();
}

QString PreviewWindow::stripText() const {
    return strip_->isHidden() ? QString() : strip_->toolTip();
}

bool PreviewWindow::stopped() const {
    return stack_->currentWidget() != view_;
}

void PreviewWindow::receiveFrame(const QByteArray& name, const QByteArray& payload) {
    if (name == "title") {
        setWindowTitle(tr("Preview - %1").arg(QString::fromUtf8(payload)));
    } else if (name == "folder") {
        // The folder shown already is not listed again: the editor names the home folder, which
        // the window lists as it opens, for a new document.
        if (!userChoseFolder_ && QString::fromUtf8(payload) != folder_) {
            showFolder(QString::fromUtf8(payload));
        }
    } else if (name == "document") {
        showDocument(payload);
    }
}

void PreviewWindow::showDocument(const QByteArray& bytes) {
    document_ = bytes;
    haveDocument_ = true;
    ++documentNumber_;
    notes_.clear();  // they were about the page before
    checkNamedFilesAndSend();
}

void PreviewWindow::showFolder(const QString& folder, bool again) {
    if (!again) {
        if (!folderWatcher_.directories().isEmpty()) {
            folderWatcher_.removePaths(folderWatcher_.directories());
        }
        folder_ = folder;
        realFolder_.clear();
        folderBox_->setText(folder);
        // Nothing of the folder shown before stays while this one's look is read.
        showLook({});
    }
    const QFileInfo info(QDir::cleanPath(folder_));
    const QString path = info.absoluteFilePath();
    static const QString folderIcon = typeIconUrl(QStringLiteral("inode/directory"), 32);
    listingScripts_.clear();
    sendListing(
        QStringLiteral("tessivane.beginListing(%1)")
            .arg(jsArguments({QJsonObject{{QStringLiteral("name"),
                                           info.fileName().isEmpty() ? path : info.fileName()},
                                          {QStringLiteral("path"), path},
                                          {QStringLiteral("icon"), folderIcon}},
                              again})));
    lister_.list(path);
    readLook();
}

void PreviewWindow::showTypedFolder() {
    if (folderBox_->text() == folder_) {
        return;
    }
    userChoseFolder_ = true;
    showFolder(folderBox_->text());
}

void PreviewWindow::pickFolder() {
    const QString chosen = chooseFolder(this, folder_);
    if (chosen.isEmpty()) {
        return;
    }
    userChoseFolder_ = true;
    showFolder(chosen);
}

void PreviewWindow::playSound(bool play) {
    if (page_->isReady()) {
        page_->runInShell(QStringLiteral("tessivane.playSound(%1)")
                              .arg(play ? QLatin1String("true") : QLatin1String("false")));
    }
}

void PreviewWindow::fillShell() {
    for (const QString& script : std::as_const(listingScripts_)) {
        page_->runInShell(script);
    }
    if (!lookScript_.isEmpty()) {
        page_->runInShell(lookScript_);
    }
    if (haveDocument_) {
        checkNamedFilesAndSend();
    }
}

void PreviewWindow::reportShown(int number) {
    if (number == documentNumber_ && number > shownNumber_) {
        shownNumber_ = number;
        emit pageShown();
    }
}

void PreviewWindow::startListing(const QString& realFolder, const QString& problem) {
    realFolder_ = realFolder;
    allowInGuard();
    listingProblems_ = problem.isEmpty() ? QStringList() : QStringList{problem};
    if (problem.isEmpty() && !folderWatcher_.directories().contains(realFolder)) {
        folderWatcher_.addPath(realFolder);
    }
    showStrip();
    if (haveDocument_) {
        checkNamedFilesAndSend();  // the folder's files may be shown now
    }
}

void PreviewWindow::addEntries(const QJsonArray& entries, const QJsonObject& newTypes) {
    QJsonObject types;
    for (auto it = newTypes.begin(); it != newTypes.end(); ++it) {
        if (!typeIcons_.contains(it.key())) {
            typeIcons_.insert(it.key(), typeIconUrl(it.key()));
        }
        types[it.key()] = QJsonArray{it.value(), typeIcons_.value(it.key())};
    }
    sendListing(QStringLiteral("tessivane.addEntries(%1)").arg(jsArguments({entries, types})));
}

void PreviewWindow::sendListing(const QString& script) {
    listingScripts_ << script;
    if (page_->isReady()) {
        page_->runInShell(script);
    }
}

void PreviewWindow::checkNamedFilesAndSend() {
    if (!page_->isReady()) {
        return;  // the shell sends the newest document once it is loaded
    }
    const std::string bytes = document_.toStdString();
    const WorkingDocument document = WorkingDocument::fromBytes(bytes);
    // Another page's lines at the settings' places hold no settings: it names no files.
    ReadOutcome outcome;
    const bool ours = hasMarkerLine(document);
    const FolderViewSettings settings =
        ours ? readFolderViewSettings(document, &outcome) : FolderViewSettings{};
    NamedFiles named;
    named.documentNumber = documentNumber_;
    if (!ours) {
        named.problems << tr("This is not a document Tessivane wrote: it is shown as it is.");
    } else if (!outcome.complete) {
        named.problems << tr("The document ends before line %1: settings after it are missing.")
                              .arg(outcome.missingLine + 1);
    }
    const int loops =
        settings.loopForever
            ? 0
            : std::max(1, QString::fromStdString(wholeNumber(settings.loopCount)).toInt());
    const QStringList files = {QString::fromStdString(settings.soundFile),
                               QString::fromStdString(settings.backgroundImage),
                               QString::fromStdString(settings.lineImage)};
    const QString folder = QFileInfo(QDir::cleanPath(folder_)).absoluteFilePath();
    inBackground(
        this,
        [named, files, folder, loops]() mutable {
            findNamedFiles(named, files, folder, loops);
            return named;
        },
        [this](const NamedFiles& result) {
            if (result.documentNumber == documentNumber_) {
                sendDocument(result);
            }
        });
}

void PreviewWindow::findNamedFiles(NamedFiles& named, const QStringList& files,
                                   const QString& folder, int loops) {
    // The sound is played by the shell: the page's <bgsound> is no browser's.
    const int pageLines[] = {-1, lines::kPanel, lines::kLineImage};
    for (qsizetype i = 0; i < files.size(); ++i) {
        if (files[i].isEmpty()) {
            continue;
        }
        const NamedFile found = findNamedFile(files[i], folder);
        const QString problem = namedFileProblem(files[i], found.outcome);
        if (!problem.isEmpty() && !named.problems.contains(problem)) {
            named.problems << problem;
        }
        if (pageLines[i] >= 0) {
            const auto [from, to] = pageName(pageLines[i], files[i], found.real);
            named.substitutes.append({pageLines[i], from, to});
        }
        if (found.real.isEmpty()) {
            continue;
        }
        named.real.insert(found.real);
        if (i == 0) {
            named.sound =
                QJsonObject{{QStringLiteral("url"),
                             QUrl::fromLocalFile(found.real).toString(QUrl::FullyEncoded)},
                            {QStringLiteral("loop"), loops}};
        }
    }
}

void PreviewWindow::sendDocument(const NamedFiles& named) {
    if (!page_->isReady() || page_->isRestarting()) {
        return;
    }
    documentProblems_ = named.problems;
    showStrip();
    named_ = named;
    allowInGuard();
    // The page as the file manager would show it, the folder filled in.
    // Each name on its setting line is the file found for it, or nothing: the page loads no file
    // that Windows would not show, and needs no help from the file manager's %THISDIRPATH%.
    WorkingDocument document = WorkingDocument::fromFileBytes(document_.toStdString());
    bool replaced = false;
    for (const NamedFiles::Substitute& substitute : named.substitutes) {
        const auto line = document.text(std::size_t(substitute.line));
        if (!line) {
            continue;
        }
        QString text = QString::fromStdString(*line);
        const qsizetype at = text.indexOf(substitute.from);
        if (at >= 0) {
            text.replace(at, substitute.from.size(), substitute.to);
            replaced =
                document.replaceText(std::size_t(substitute.line), text.toStdString()) || replaced;
        }
    }
    const QByteArray bytes = replaced ? QByteArray::fromStdString(document.toBytes()) : document_;
    const QString text = document.encoding() == TextEncoding::Utf8 ? QString::fromUtf8(bytes)
                                                                   : QString::fromLatin1(bytes);
    const QFileInfo folder(QDir::cleanPath(folder_));
    const QString path = folder.absoluteFilePath();
    const QString html =
        fillInFolder(text, folder.fileName().isEmpty() ? path : folder.fileName(), path);
    page_->runInShell(QStringLiteral("tessivane.showDocument(%1)")
                          .arg(jsArguments({html, named.documentNumber, named.sound,
                                            playSoundBox_->isChecked()})));
}

void PreviewWindow::readLook() {
    const int number = ++lookNumber_;
    const QString folder = QFileInfo(QDir::cleanPath(folder_)).absoluteFilePath();
    inBackground(
        this, [folder] { return readFolderLook(folder); },
        [this, number](const ShownFolderLook& shown) {
            if (number == lookNumber_) {
                showLook(shown);
            }
        });
}

void PreviewWindow::showLook(const ShownFolderLook& shown) {
    QStringList problems;
    const QString picture = QString::fromStdString(shown.look.listPicture);
    if (!picture.isEmpty()) {
        problems << namedFileProblem(picture, shown.listPicture.outcome);
    }
    QString icon = QString::fromStdString(shown.look.iconFile);
    switch (shown.icon) {
        case ShownFolderLook::Icon::None:
        case ShownFolderLook::Icon::Shown:
            break;
        case ShownFolderLook::Icon::NotShown:
            if (!shown.look.iconIndex.empty()) {
                icon += u',' + QString::fromStdString(shown.look.iconIndex);
            }
            problems << tr("The folder's icon %1 cannot be shown here.").arg(icon);
            break;
        case ShownFolderLook::Icon::OnlyHere:
            problems << namedFileProblem(icon, NamedFile::Outcome::OnlyHere);
            break;
        case ShownFolderLook::Icon::Missing:
            problems << namedFileProblem(icon, NamedFile::Outcome::Missing);
            break;
    }
    problems.removeAll(QString());
    lookProblems_ = problems;
    showStrip();

    // The comment is text: shown as written, whatever markup it seems to hold.
    const QString comment = QString::fromStdString(shown.look.comment).left(kMaxCommentLength);
    folderBox_->setToolTip(comment.isEmpty() ? QString() : Qt::convertFromPlainText(comment));
    folderBox_->setAccessibleDescription(comment);
    QIcon folderIcon;
    for (const QImage& image : shown.iconImages) {
        folderIcon.addPixmap(QPixmap::fromImage(image));
    }
    folderIcon_->setIcon(folderIcon);
    folderIcon_->setVisible(!folderIcon.isNull());

    listPicture_ =
        shown.listPicture.outcome == NamedFile::Outcome::Found ? shown.listPicture.real : QString();
    allowInGuard();
    const QJsonObject look{
        {QStringLiteral("picture"),
         listPicture_.isEmpty() ? QString() : QStringLiteral("file://") + pagePath(listPicture_)},
        {QStringLiteral("colour"), shown.listTextColour}};
    lookScript_ = QStringLiteral("tessivane.setLook(%1)").arg(jsArguments({look}));
    if (page_->isReady()) {
        page_->runInShell(lookScript_);
    }
}

void PreviewWindow::allowInGuard() {
    QSet<QString> allowed = named_.real;
    if (!listPicture_.isEmpty()) {
        allowed.insert(listPicture_);
    }
    page_->allow(realFolder_, allowed);
}

void PreviewWindow::addNote(const QString& note) {
    if (!notes_.contains(note)) {
        notes_ << note;
        showStrip();
    }
}

void PreviewWindow::showStopped() {
    stack_->setCurrentIndex(1);
}

void PreviewWindow::reload() {
    notes_.clear();
    showFolder(folder_);
    page_->loadShell();
}

void PreviewWindow::showStrip() {
    QStringList lines = listingProblems_ + documentProblems_ + lookProblems_ + notes_;
    if (::geteuid() == 0) {
        lines << tr("Running as root: the page runs without the browser's sandbox.");
    }
    const QString all = lines.join(u'\n');
    strip_->setToolTip(all);
    strip_->setAccessibleDescription(all);  // every notice, also for a reader who cannot point
    strip_->setText(lines.size() > 1
                        ? tr("%1 (and %n more: point here for all)", nullptr, int(lines.size() - 1))
                              .arg(lines.value(0))
                        : lines.value(0));
    strip_->setVisible(!lines.isEmpty());
}

void PreviewWindow::closeEvent(QCloseEvent* event) {
    page_->silence();
    QWidget::closeEvent(event);
}

}  // namespace tessivane
