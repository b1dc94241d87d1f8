// SPDX-License-Identifier: MIT
#include "ui/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QUrl>
#include <optional>
#include <utility>

#include "app/messages.h"
#include "document/writer.h"
#include "storage/file_services.h"
#include "storage/windows_files.h"
#include "ui/picture_viewer.h"
#include "ui/settings_form.h"
#include "ui/twips.h"
#include "ui/widgets.h"

namespace tessivane {

namespace {

// The client area below the menu bar, and the status bar along its bottom edge.
constexpr int kClientWidth = 7335;
constexpr int kClientHeight = 8190;
constexpr int kStatusBarHeight = 375;
// How long the status bar shows a note or the result of Use for Folder before the current file
// again.
constexpr int kNoteMs = 30000;

QSize pixelSize(const QWidget* widget, int widthTwips, int heightTwips) {
    return pixels(widget, {0, 0, widthTwips, heightTwips}).size();
}

// The one existing local file that a drag carries, or nothing: what a file dialog could have
// given.
std::optional<QString> draggedFile(const QMimeData* mime) {
    if (mime == nullptr || !mime->hasUrls()) {
        return std::nullopt;
    }
    const QList<QUrl> urls = mime->urls();
    if (urls.size() != 1 || !urls.first().isLocalFile()) {
        return std::nullopt;
    }
    const QString path = QDir::toNativeSeparators(urls.first().toLocalFile());
    if (!fileExists(path)) {
        return std::nullopt;
    }
    return path;
}

// The one template file (".htt", any letter case) that a drag carries, or nothing.
std::optional<QString> draggedTemplate(const QMimeData* mime) {
    std::optional<QString> file = draggedFile(mime);
    if (file && QFileInfo(*file).suffix().compare(QLatin1String("htt"), Qt::CaseInsensitive) == 0) {
        return file;
    }
    return std::nullopt;
}

// Lets the window's menu shortcuts through the text boxes it watches, which would otherwise keep
// some keys for themselves (Ctrl+A selects a box's text).
class ShortcutFilter final : public QObject {
public:
    ShortcutFilter(QList<QAction*> actions, QObject* parent)
        : QObject(parent), actions_(std::move(actions)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::ShortcutOverride) {
            const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
            for (const QAction* action : std::as_const(actions_)) {
                if (!action->shortcut().isEmpty() && action->shortcut() == pressed) {
                    event->ignore();
                    return true;
                }
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QList<QAction*> actions_;
};

}  // namespace

// Takes files dragged onto the window: a path box takes one existing file as its path; anywhere
// else one template opens as Open would. Other drags are left to the widget (a text box still
// takes dragged text).
class MainWindow::DropFilter final : public QObject {
public:
    explicit DropFilter(MainWindow& window) : QObject(&window), w_(window) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::DragEnter && event->type() != QEvent::DragMove &&
            event->type() != QEvent::Drop) {
            return QObject::eventFilter(watched, event);
        }
        auto* drop = static_cast<QDropEvent*>(event);
        auto* pathEdit = qobject_cast<QLineEdit*>(watched);
        const SettingsForm* form = w_.form_;
        if (pathEdit != form->pathBox(SettingsForm::PathBox::Sound) &&
            pathEdit != form->pathBox(SettingsForm::PathBox::Background) &&
            pathEdit != form->pathBox(SettingsForm::PathBox::LineImage)) {
            pathEdit = nullptr;
        }
        const std::optional<QString> file =
            pathEdit != nullptr ? draggedFile(drop->mimeData()) : draggedTemplate(drop->mimeData());
        if (!file) {
            return QObject::eventFilter(watched, event);
        }
        drop->acceptProposedAction();
        if (event->type() == QEvent::Drop) {
            if (pathEdit != nullptr) {
                w_.setPath(pathEdit, *file);
            } else {
                w_.openDroppedFile(*file);
            }
        }
        return true;
    }

private:
    MainWindow& w_;
};

MainWindow::MainWindow(const QString& commandLineText, Dialogs& dialogs, QWidget* parent)
    : QMainWindow(parent),
      dialogs_(dialogs),
      commands_(session_, *this, dialogs),
      folderCommands_(session_, commands_, dialogs),
      preview_(new PreviewLink([this] { return previewDocument(); }, this)) {
    setObjectName(QStringLiteral("MainWindow"));
    // A fixed single border: minimise and close, no maximise.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("Tessivane"));
    form_ = new SettingsForm(this);
    setCentralWidget(form_);
    connect(form_, &SettingsForm::fileWanted, this, &MainWindow::choosePath);

    createActions();
    createMenus();
    createStatusBar();
    createPreviewLink();
    fixSize();
    installEventFilters();
    commands_.start(commandLineText);
}

MainWindow::~MainWindow() {
    delete viewer_;
    // Before the controls go: the link asks the window for the document while it runs.
    preview_->close();
}

void MainWindow::createActions() {
    const auto action = [this](const char* name, const QString& text, const QKeySequence& keys,
                               void (MainWindow::*slot)()) {
        auto* act = named(new QAction(text, this), name);
        act->setShortcut(keys);
        connect(act, &QAction::triggered, this, slot);
        return act;
    };
    newAct_ = action("mnuNew", tr("&New"), Qt::CTRL | Qt::Key_N, &MainWindow::newFile);
    openAct_ = action("mnuOpen", tr("&Open..."), Qt::CTRL | Qt::Key_O, &MainWindow::open);
    saveAct_ = action("mnuSave", tr("&Save..."), Qt::CTRL | Qt::Key_S, &MainWindow::save);
    saveAsAct_ = action("mnuAs", tr("Save &As..."), Qt::Key_F2, &MainWindow::saveAs);
    useForFolderAct_ =
        action("mnuUseFolder", tr("Use for &Folder..."), QKeySequence(), &MainWindow::useForFolder);
    informationAct_ =
        action("mnuInfo", tr("&Information"), Qt::Key_F1, &MainWindow::showInformation);
    aboutAct_ = action("mnuAbout", tr("&About"), Qt::CTRL | Qt::Key_A, &MainWindow::about);

    exitAct_ = named(new QAction(tr("&Exit"), this), "mnuExit");
    exitAct_->setShortcut(Qt::Key_F4);
    connect(exitAct_, &QAction::triggered, this, &QWidget::close);

    previewAct_ = action("mnuPreview", tr("&Preview"), Qt::Key_F5, &MainWindow::showPreview);
    if (PreviewLink::programPath().isEmpty()) {
        previewAct_->setEnabled(false);
        previewAct_->setToolTip(tr("The preview comes with the tessivane-preview package."));
    }
}

void MainWindow::createMenus() {
    fileMenu_ = named(menuBar()->addMenu(tr("&File")), "mnuFile");
    fileMenu_->addAction(newAct_);
    named(fileMenu_->addSeparator(), "Div3");
    fileMenu_->addAction(openAct_);
    fileMenu_->addAction(saveAct_);
    fileMenu_->addAction(saveAsAct_);
    fileMenu_->addAction(useForFolderAct_);
    named(fileMenu_->addSeparator(), "Div1");
    fileMenu_->addAction(exitAct_);

    viewMenu_ = named(menuBar()->addMenu(tr("&View")), "mnuView");
    viewMenu_->addAction(previewAct_);
    viewMenu_->setToolTipsVisible(true);

    helpMenu_ = named(menuBar()->addMenu(tr("&Help")), "mnuHelp");
    helpMenu_->addAction(informationAct_);
    named(helpMenu_->addSeparator(), "Div2");
    helpMenu_->addAction(aboutAct_);
}

void MainWindow::createStatusBar() {
    statusBar()->setObjectName(QStringLiteral("CurFile"));
    statusBar()->setSizeGripEnabled(false);
    statusBar()->setFixedHeight(pixelSize(this, 0, kStatusBarHeight).height());
    statusLabel_ = new ElidedLabel(statusBar());
    statusLabel_->setAccessibleDescription(tr("Current file"));
    statusBar()->addWidget(statusLabel_, 1);
    // A passing message is drawn by the bar itself: its description carries it to a screen
    // reader, which hears the change.
    statusBar()->setAccessibleName(tr("Status"));
    connect(statusBar(), &QStatusBar::messageChanged, statusBar(),
            &QWidget::setAccessibleDescription);
}

// Every edit reaches a running preview. When the preview program ends on its own, the status bar
// says so, with the way to start it again; nothing the user edits is touched.
void MainWindow::createPreviewLink() {
    previewStoppedNotice_ = named(new QWidget(statusBar()), "previewStopped");
    auto* layout = new QHBoxLayout(previewStoppedNotice_);
    layout->setContentsMargins(0, 0, 3, 0);  // clear of the window's edge
    auto* notice = new QLabel(tr("The preview stopped"), previewStoppedNotice_);
    layout->addWidget(notice);
    auto* reload = named(new QPushButton(tr("Reload"), previewStoppedNotice_), "previewReload");
    reload->setAccessibleDescription(notice->text());
    reload->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(reload);
    statusBar()->addPermanentWidget(previewStoppedNotice_);
    previewStoppedNotice_->hide();

    connect(reload, &QPushButton::clicked, this, &MainWindow::showPreview);
    connect(preview_, &PreviewLink::stopped, previewStoppedNotice_, &QWidget::show);
    connect(form_, &SettingsForm::changed, preview_, &PreviewLink::update);
    // Late enough that the window is up and drawn before the disk is busy with it.
    QTimer::singleShot(1500, this, &PreviewLink::warmUp);
}

void MainWindow::fixSize() {
    // The client area below the menu bar is fixed: the controls' area above the status bar.
    centralWidget()->setFixedSize(pixelSize(this, kClientWidth, kClientHeight - kStatusBarHeight));
    setFixedSize(sizeHint());
    if (const QScreen* screen = this->screen()) {
        setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(),
                                        screen->availableGeometry()));
    }
}

// Files dropped on the window and its text boxes; the menu shortcuts in the text boxes.
void MainWindow::installEventFilters() {
    setAcceptDrops(true);
    auto* drops = new DropFilter(*this);
    auto* shortcuts = new ShortcutFilter({newAct_, openAct_, saveAct_, saveAsAct_, exitAct_,
                                          previewAct_, informationAct_, aboutAct_},
                                         this);
    installEventFilter(drops);
    for (QLineEdit* edit : form_->textBoxes()) {
        edit->installEventFilter(drops);
        edit->installEventFilter(shortcuts);
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    const bool goOn = maybeSave();
    // The viewer goes whatever the answer.
    if (viewer_) {
        viewer_->close();
    }
    if (goOn) {
        preview_->close();
        event->accept();
    } else {
        event->ignore();
    }
}

FolderViewSettings MainWindow::currentSettings() const {
    return form_->settings();
}

void MainWindow::showDocument(const QString& sourceName) {
    statusLabel_->setFullText(messages::placeholderName(session_.newNum));
    if (!form_->showDocument(session_.document)) {
        const QString name = sourceName.isEmpty() ? currentFile() : sourceName;
        const Message refused = messages::loadError(name);
        dialogs_.message(refused.icon, Dialogs::Buttons::Ok, refused.title, refused.text);
        return;
    }
    // Another document may hold the same settings but other lines.
    preview_->update();
}

QString MainWindow::currentFile() const {
    return statusLabel_->fullText();
}

void MainWindow::setCurrentFile(const QString& path) {
    statusLabel_->setFullText(path);
    preview_->setTitle(QFileInfo(path).fileName());
}

void MainWindow::showNote(const QString& text) {
    statusBar()->showMessage(text, kNoteMs);
}

bool MainWindow::maybeSave() {
    return commands_.maybeSave();
}

void MainWindow::newFile() {
    commands_.newFile();
}

void MainWindow::open() {
    commands_.open();
}

void MainWindow::save() {
    commands_.save();
}

void MainWindow::saveAs() {
    commands_.saveAs();
}

// The folder chooser starts at the preview's folder, else the current file's. The preview then
// shows the folder that now uses the document.
void MainWindow::useForFolder() {
    const QFileInfo file(currentFile());
    const QString start = preview_->isRunning() ? previewFolder_
                          : file.isAbsolute()   ? file.absolutePath()
                                                : QDir::currentPath();
    if (const auto done = folderCommands_.useForFolder(
            start, file.isAbsolute() ? file.absolutePath() : QString())) {
        showNote(done->status);
        if (preview_->isRunning()) {
            previewFolder_ = done->folder;
            preview_->show(file.fileName(), done->folder);
        }
    }
}

void MainWindow::showInformation() {
    commands_.showInformation();
}

void MainWindow::about() {
    commands_.about();
}

void MainWindow::showPreview() {
    previewStoppedNotice_->hide();
    // The page describes the current file's folder, or the home folder for a file not saved yet.
    const QFileInfo file(currentFile());
    const QString folder = file.exists() ? file.absolutePath() : QDir::homePath();
    previewFolder_ = folder;
    preview_->show(file.fileName(), folder);
}

QByteArray MainWindow::previewDocument() const {
    WorkingDocument document = session_.document;
    // When the document cannot hold a text, the writer leaves it as it was, as a refused Save does.
    writeSettings(
        document, currentSettings(), [](const std::string&) { return true; }, &session_.shown);
    const std::string bytes = document.toBytes();
    return QByteArray(bytes.data(), qsizetype(bytes.size()));
}

bool MainWindow::chooseFile(const QString& title, const QStringList& nameFilters) {
    DialogState& dialog = session_.dialog;
    dialog.title = title;
    dialog.setNameFilters(nameFilters);
    return dialogs_.showOpen(dialog);
}

void MainWindow::choosePath(SettingsForm::PathBox box) {
    const bool sound = box == SettingsForm::PathBox::Sound;
    const QString title = sound                                      ? tr("Choose Sound File")
                          : box == SettingsForm::PathBox::Background ? tr("Choose Background Image")
                                                                     : tr("Choose Line Image");
    if (chooseFile(title, sound ? filters::sound() : filters::image())) {
        setPath(form_->pathBox(box), session_.dialog.fileName);
    }
}

void MainWindow::setPath(QLineEdit* edit, const QString& path) {
    // A file in the document's folder is named as Windows finds it wherever the folder goes.
    const QFileInfo current(currentFile());
    edit->setText(pageNameFor(path, current.isAbsolute() ? current.absolutePath() : QString()));
    const bool background = edit == form_->pathBox(SettingsForm::PathBox::Background);
    if (!background && edit != form_->pathBox(SettingsForm::PathBox::LineImage)) {
        return;
    }
    if (!viewer_) {
        viewer_ = new PictureViewer();
    }
    viewer_->showPicture(
        path, background ? PictureView::Placement::Tiled : PictureView::Placement::Centred);
}

void MainWindow::openDroppedFile(const QString& path) {
    // The question and the messages that opening may show are modal; they wait until the drag
    // has finished, so that the program the file came from is not kept waiting.
    QMetaObject::invokeMethod(
        this, [this, path] { commands_.openDropped(path); }, Qt::QueuedConnection);
}

}  // namespace tessivane
