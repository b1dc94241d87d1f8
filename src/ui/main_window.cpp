// SPDX-License-Identifier: MIT
#include "ui/main_window.h"

#include <limits>

#include <QAction>
#include <QCloseEvent>
#include <QColor>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
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
#include <QStyle>
#include <QUrl>
#include <algorithm>
#include <optional>
#include <utility>

#include "app/messages.h"
#include "document/colours.h"
#include "document/numeric.h"
#include "document/reader.h"
#include "document/writer.h"
#include "storage/file_services.h"
#include "ui/picture_viewer.h"
#include "ui/twips.h"
#include "ui/widgets.h"

namespace tessivane {

namespace {

QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// A position and size in twips, relative to the containing group box or window.
struct Twips {
    int left;
    int top;
    int width;
    int height;
};

// The client area below the menu bar, and the status bar along its bottom edge.
constexpr int kClientWidth = 7335;
constexpr int kClientHeight = 8190;
constexpr int kStatusBarHeight = 375;
// How long the status bar shows the result of Use for Folder before the current file again.
constexpr int kFolderResultMs = 30000;

// A place in twips as pixels at the widget's screen's logical DPI. Every position and size of
// the window is converted here.
QRect pixels(const QWidget* widget, const Twips& twips) {
    const qreal dpiX = widget->logicalDpiX();
    const qreal dpiY = widget->logicalDpiY();
    return {twipsToPixels(twips.left, dpiX), twipsToPixels(twips.top, dpiY),
            twipsToPixels(twips.width, dpiX), twipsToPixels(twips.height, dpiY)};
}

void place(QWidget* widget, const Twips& twips) {
    widget->setGeometry(pixels(widget, twips));
}

QSize pixelSize(const QWidget* widget, int widthTwips, int heightTwips) {
    return pixels(widget, {0, 0, widthTwips, heightTwips}).size();
}

// A caption (label or radio button) sizes itself to its text: it keeps its place and grows wider
// or taller when the text at the real font needs more room than the twips allow. A caption that
// would then reach the control at rightLimit moves left instead, as far as it needs.
void placeCaption(QWidget* caption, const Twips& twips, int rightLimit = -1) {
    place(caption, twips);
    const QSize needed = caption->sizeHint();
    caption->resize(std::max(caption->width(), needed.width()),
                    std::max(caption->height(), needed.height()));
    if (rightLimit >= 0 && caption->x() + caption->width() > rightLimit) {
        caption->move(std::max(0, rightLimit - caption->width()), caption->y());
    }
}

// The room kept between a caption that had to grow and the control beside it.
int captionGap(const QWidget* widget) {
    return widget->fontMetrics().averageCharWidth() / 2;
}

template <class W>
W* named(W* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QLineEdit* lineEdit(QWidget* parent, const char* name, const QString& text, const Twips& twips) {
    auto* edit = named(new QLineEdit(text, parent), name);
    // Qt would otherwise keep at most 32,767 characters and cut a longer text without a word.
    edit->setMaxLength(std::numeric_limits<int>::max());
    place(edit, twips);
    return edit;
}

QLabel* caption(QWidget* parent, const char* name, const QString& text, QWidget* buddy,
                const Twips& twips) {
    auto* label = named(new QLabel(text, parent), name);
    label->setBuddy(buddy);
    placeCaption(label, twips);
    return label;
}

// The "..." button at the right end of a path box's row, as tall as the box and level with it.
// A screen reader says what it chooses, which the three dots do not.
QPushButton* chooserButton(const char* name, const QLineEdit* edit, const QString& spokenName) {
    auto* button = named(new QPushButton(QStringLiteral("..."), edit->parentWidget()), name);
    button->setAccessibleName(spokenName);
    button->setAutoDefault(false);
    const QRect column = pixels(button, {6600, 0, 375, 0});
    button->setGeometry(column.left(), edit->y(), column.width(), edit->height());
    return button;
}

// A list box as the platform draws one: no horizontal scroll bar; an item too wide is cut short.
ChoiceList* choiceList(QWidget* parent, const char* name, const Twips& twips) {
    auto* list = named(new ChoiceList(parent), name);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Every item is one line of the same font: the list measures one item instead of all.
    list->setUniformItemSizes(true);
    place(list, twips);
    return list;
}

QLabel* sample(QWidget* parent, const char* name, const Twips& twips) {
    auto* label = named(new QLabel(parent), name);
    label->setFrameStyle(QFrame::Box | QFrame::Plain);
    label->setLineWidth(1);
    label->setAlignment(Qt::AlignCenter);
    label->setTextFormat(Qt::PlainText);
    label->setAutoFillBackground(true);
    place(label, twips);
    return label;
}

// Index of the item whose whole text equals the text ignoring letter case, or -1.
int findIgnoringCase(const QStringList& items, const QString& text) {
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (items[i].compare(text, Qt::CaseInsensitive) == 0) {
            return int(i);
        }
    }
    return -1;
}

QColor fromScreenColour(quint32 colour) {
    return QColor(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));
}

// A font family's name as the user knows it: Qt names a family that several foundries supply
// "Name [foundry]", and this gives "Name".
QString plainFamilyName(const QString& family) {
    if (!family.endsWith(QLatin1Char(']'))) {
        return family;
    }
    const qsizetype open = family.lastIndexOf(QLatin1String(" ["));
    return open > 0 ? family.left(open) : family;
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
    const std::optional<QString> file = draggedFile(mime);
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

// Puts the values that the reader finds into the controls, so that each control's own change
// handling runs as if the user had entered it.
class MainWindow::ControlsTarget final : public SettingsTarget {
    Q_DECLARE_TR_FUNCTIONS(MainWindow)

public:
    explicit ControlsTarget(MainWindow& window) : w_(window) {}

    void setInfoSize(const std::string& text) override { w_.infoSizeEdit->setText(qs(text)); }
    void setTitleSize(const std::string& text) override { w_.titleSizeEdit->setText(qs(text)); }
    void selectFontFace(const std::string& face) override {
        w_.chooseEntry(w_.fontList, qs(face),
                       face.empty() ? tr("(no font)") : tr("%1 (not installed)").arg(qs(face)));
    }
    void selectColour(const std::string& colour) override {
        if (colour.empty()) {
            w_.colourList->setCurrentRow(-1);
        } else {
            w_.chooseEntry(w_.colourList, qs(colour), tr("%1 (custom)").arg(qs(colour)));
        }
    }
    void setSoundFile(const std::string& path) override { w_.soundEdit->setText(qs(path)); }
    void chooseLoopCount(const std::string& count) override {
        w_.loopCountEdit->setText(qs(count));
        w_.loopCountButton->setChecked(true);
        w_.loopCountEdit->setEnabled(true);
    }
    void chooseLoopForever() override {
        w_.loopForeverButton->setChecked(true);
        w_.loopCountEdit->setEnabled(false);
    }
    void setBackgroundImage(const std::string& path) override {
        w_.backgroundEdit->setText(qs(path));
    }
    void setLineImage(const std::string& path) override { w_.lineImageEdit->setText(qs(path)); }
    void setDescription(const std::string& text) override { w_.descriptionEdit->setText(qs(text)); }

private:
    MainWindow& w_;
};

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
        if (pathEdit != w_.soundEdit && pathEdit != w_.backgroundEdit &&
            pathEdit != w_.lineImageEdit) {
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
    setCentralWidget(new QWidget(this));

    createActions();
    createMenus();
    createFontGroup();
    createSoundGroup();
    createGraphicGroup();
    createStatusBar();
    createPreviewLink();
    arrangeTabOrder();
    fixSize();
    installEventFilters();
    fillFontList();
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
    newAct = action("mnuNew", tr("&New"), Qt::CTRL | Qt::Key_N, &MainWindow::newFile);
    openAct = action("mnuOpen", tr("&Open..."), Qt::CTRL | Qt::Key_O, &MainWindow::open);
    saveAct = action("mnuSave", tr("&Save..."), Qt::CTRL | Qt::Key_S, &MainWindow::save);
    saveAsAct = action("mnuAs", tr("Save &As..."), Qt::Key_F2, &MainWindow::saveAs);
    useForFolderAct =
        action("mnuUseFolder", tr("Use for &Folder..."), QKeySequence(), &MainWindow::useForFolder);
    informationAct =
        action("mnuInfo", tr("&Information"), Qt::Key_F1, &MainWindow::showInformation);
    aboutAct = action("mnuAbout", tr("&About"), Qt::CTRL | Qt::Key_A, &MainWindow::about);

    exitAct = named(new QAction(tr("&Exit"), this), "mnuExit");
    exitAct->setShortcut(Qt::Key_F4);
    connect(exitAct, &QAction::triggered, this, &QWidget::close);

    previewAct = action("mnuPreview", tr("&Preview"), Qt::Key_F5, &MainWindow::showPreview);
    if (PreviewLink::programPath().isEmpty()) {
        previewAct->setEnabled(false);
        previewAct->setToolTip(tr("The preview comes with the tessivane-preview package."));
    }
}

void MainWindow::createMenus() {
    fileMenu = named(menuBar()->addMenu(tr("&File")), "mnuFile");
    fileMenu->addAction(newAct);
    named(fileMenu->addSeparator(), "Div3");
    fileMenu->addAction(openAct);
    fileMenu->addAction(saveAct);
    fileMenu->addAction(saveAsAct);
    fileMenu->addAction(useForFolderAct);
    named(fileMenu->addSeparator(), "Div1");
    fileMenu->addAction(exitAct);

    viewMenu = named(menuBar()->addMenu(tr("&View")), "mnuView");
    viewMenu->addAction(previewAct);
    viewMenu->setToolTipsVisible(true);

    helpMenu = named(menuBar()->addMenu(tr("&Help")), "mnuHelp");
    helpMenu->addAction(informationAct);
    named(helpMenu->addSeparator(), "Div2");
    helpMenu->addAction(aboutAct);
}

void MainWindow::createFontGroup() {
    fontGroup = named(new GroupBox(tr("Font &Options"), centralWidget()), "frmFont");
    place(fontGroup, {120, 120, 7095, 4095});

    fontList = choiceList(fontGroup, "Fnts", {120, 240, 5775, 2010});
    fontList->setAccessibleName(tr("Font"));
    colourList = choiceList(fontGroup, "ColSel", {6000, 360, 975, 1890});
    colourList->setAccessibleName(tr("Colour"));
    for (const std::string_view colour : kColourNames) {
        colourList->addItem(qs(colour));
    }
    // Every colour name must be readable whole. When the real font needs a wider list, the
    // colour list grows to the left, keeping its right edge, and the font list gives up as much
    // of its right side.
    const int needed =
        colourList->sizeHintForColumn(0) + 2 * colourList->frameWidth() +
        colourList->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, colourList);
    if (needed > colourList->width()) {
        const int grow = needed - colourList->width();
        colourList->setGeometry(colourList->geometry().adjusted(-grow, 0, 0, 0));
        fontList->setGeometry(fontList->geometry().adjusted(0, 0, -grow, 0));
    }
    QLabel* colourLabel =
        caption(fontGroup, "lblCol", tr("&Colour"), colourList, {6000, 120, 450, 195});
    colourLabel->move(colourList->x(), colourLabel->y());

    titleSizeEdit = lineEdit(fontGroup, "Title", QStringLiteral("12"), {120, 2520, 1695, 285});
    const QLabel* titleSizeLabel =
        caption(fontGroup, "TSize", tr("&Title Size:"), titleSizeEdit, {120, 2280, 690, 195});
    infoSizeEdit = lineEdit(fontGroup, "Info", QStringLiteral("10"), {120, 3600, 1695, 285});
    const QLabel* infoSizeLabel = caption(fontGroup, "ISize", tr("&Information Text Size:"),
                                          infoSizeEdit, {120, 3360, 1530, 195});

    titleSample = sample(fontGroup, "titleSample", {1920, 2400, 5055, 735});
    infoSample = sample(fontGroup, "infoSample", {1920, 3240, 5055, 735});
    titleSample->setAccessibleDescription(
        tr("Sample of the folder title in the chosen font, colour and title size"));
    infoSample->setAccessibleDescription(
        tr("Sample of the information text in the chosen font, colour and size"));
    // The size captions stand left of the samples. When the real font makes a caption wider
    // than the room before the samples, both samples give up that much of their left side
    // (they keep their right edge, and stay aligned with each other).
    const int captionsEnd =
        std::max(titleSizeLabel->geometry().right(), infoSizeLabel->geometry().right()) + 1;
    const int samplesLeft = std::max(titleSample->x(), captionsEnd + captionGap(fontGroup));
    for (QLabel* label : {titleSample, infoSample}) {
        label->setGeometry(QRect(QPoint(samplesLeft, label->y()), label->geometry().bottomRight()));
    }

    connect(titleSizeEdit, &QLineEdit::textChanged, this,
            [this] { correctSize(titleSizeEdit, kTitleSizeFallback); });
    connect(infoSizeEdit, &QLineEdit::textChanged, this,
            [this] { correctSize(infoSizeEdit, kInfoSizeFallback); });
    connect(fontList, &ChoiceList::choiceChanged, this, &MainWindow::updateSamples);
    connect(colourList, &ChoiceList::choiceChanged, this, &MainWindow::updateSamples);
}

void MainWindow::createSoundGroup() {
    soundGroup = named(new GroupBox(tr("&Sound Options"), centralWidget()), "frmSounds");
    place(soundGroup, {120, 4320, 7095, 1095});

    soundEdit = lineEdit(soundGroup, "Sound", QString(), {120, 360, 6375, 285});
    soundEdit->setAccessibleName(tr("Sound file"));
    chooseSoundButton = chooserButton("Browse1", soundEdit, tr("Choose sound file…"));
    loopForeverButton = named(new RadioButton(tr("&Loop Forever"), soundGroup), "optLoop");
    placeCaption(loopForeverButton, {120, 720, 1335, 255});
    loopCountEdit = lineEdit(soundGroup, "txtLoop", QStringLiteral("1"), {6240, 720, 735, 285});
    loopCountEdit->setAccessibleName(tr("Number of times"));
    loopCountButton = named(new RadioButton(tr("Loo&p for:"), soundGroup), "Number");
    placeCaption(loopCountButton, {5160, 720, 975, 255},
                 loopCountEdit->x() - captionGap(soundGroup));

    connect(chooseSoundButton, &QPushButton::clicked, this, &MainWindow::chooseSound);
    connect(loopCountEdit, &QLineEdit::textChanged, this, &MainWindow::correctLoopCount);
    // The loop count is in use only while "Loop for" is chosen, by the user or by code; a new
    // sound path puts it out of use until then.
    connect(loopCountButton, &QRadioButton::toggled, this, [this](bool chosen) {
        if (chosen) {
            loopCountEdit->setEnabled(true);
        }
    });
    connect(loopForeverButton, &QRadioButton::toggled, this, [this](bool chosen) {
        if (chosen) {
            loopCountEdit->setEnabled(false);
        }
    });
    connect(soundEdit, &QLineEdit::textChanged, this, [this] { loopCountEdit->setEnabled(false); });
}

void MainWindow::createGraphicGroup() {
    graphicGroup = named(new GroupBox(tr("Graphic Options"), centralWidget()), "frmGraphic");
    place(graphicGroup, {120, 5520, 7095, 2175});

    backgroundEdit = lineEdit(graphicGroup, "Bck", QString(), {120, 480, 6375, 285});
    caption(graphicGroup, "lblBck", tr("&Background Image:"), backgroundEdit,
            {120, 240, 1395, 195});
    chooseBackgroundButton =
        chooserButton("Browse2", backgroundEdit, tr("Choose background image…"));
    lineImageEdit = lineEdit(graphicGroup, "Img", QString(), {120, 1080, 6375, 285});
    caption(graphicGroup, "lblLine", tr("Li&ne Image:"), lineImageEdit, {120, 840, 825, 195});
    chooseLineImageButton = chooserButton("Browse3", lineImageEdit, tr("Choose line image…"));
    descriptionEdit = lineEdit(graphicGroup, "Fol", QString(), {120, 1680, 6855, 285});
    caption(graphicGroup, "lblFolDesc", tr("Folder &Description:"), descriptionEdit,
            {120, 1440, 1320, 195});

    connect(chooseBackgroundButton, &QPushButton::clicked, this, &MainWindow::chooseBackground);
    connect(chooseLineImageButton, &QPushButton::clicked, this, &MainWindow::chooseLineImage);
}

void MainWindow::createStatusBar() {
    statusBar()->setObjectName(QStringLiteral("CurFile"));
    statusBar()->setSizeGripEnabled(false);
    statusBar()->setFixedHeight(pixelSize(this, 0, kStatusBarHeight).height());
    statusLabel = new ElidedLabel(statusBar());
    statusLabel->setAccessibleDescription(tr("Current file"));
    statusBar()->addWidget(statusLabel, 1);
    // A passing message is drawn by the bar itself: its description carries it to a screen
    // reader, which hears the change.
    statusBar()->setAccessibleName(tr("Status"));
    connect(statusBar(), &QStatusBar::messageChanged, statusBar(),
            &QWidget::setAccessibleDescription);
}

// Every edit reaches a running preview. When the preview program ends on its own, the status bar
// says so, with the way to start it again; nothing the user edits is touched.
void MainWindow::createPreviewLink() {
    previewStoppedNotice = named(new QWidget(statusBar()), "previewStopped");
    auto* layout = new QHBoxLayout(previewStoppedNotice);
    layout->setContentsMargins(0, 0, 3, 0);  // clear of the window's edge
    auto* notice = new QLabel(tr("The preview stopped"), previewStoppedNotice);
    layout->addWidget(notice);
    auto* reload = named(new QPushButton(tr("Reload"), previewStoppedNotice), "previewReload");
    reload->setAccessibleDescription(notice->text());
    reload->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(reload);
    statusBar()->addPermanentWidget(previewStoppedNotice);
    previewStoppedNotice->hide();

    connect(reload, &QPushButton::clicked, this, &MainWindow::showPreview);
    connect(preview_, &PreviewLink::stopped, previewStoppedNotice, &QWidget::show);
    for (QLineEdit* edit : textBoxes()) {
        connect(edit, &QLineEdit::textChanged, preview_, &PreviewLink::update);
    }
    connect(fontList, &ChoiceList::choiceChanged, preview_, &PreviewLink::update);
    connect(colourList, &ChoiceList::choiceChanged, preview_, &PreviewLink::update);
    connect(loopForeverButton, &QRadioButton::toggled, preview_, &PreviewLink::update);
}

QList<QLineEdit*> MainWindow::textBoxes() const {
    return {titleSizeEdit,  infoSizeEdit,  soundEdit,      loopCountEdit,
            backgroundEdit, lineImageEdit, descriptionEdit};
}

void MainWindow::arrangeTabOrder() {
    const QList<QWidget*> order = {fontList,
                                   colourList,
                                   titleSizeEdit,
                                   infoSizeEdit,
                                   soundEdit,
                                   chooseSoundButton,
                                   loopForeverButton,
                                   loopCountButton,
                                   loopCountEdit,
                                   backgroundEdit,
                                   chooseBackgroundButton,
                                   lineImageEdit,
                                   chooseLineImageButton,
                                   descriptionEdit};
    for (qsizetype i = 0; i + 1 < order.size(); ++i) {
        QWidget::setTabOrder(order[i], order[i + 1]);
    }
    fontList->setFocus(Qt::OtherFocusReason);
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
    auto* shortcuts = new ShortcutFilter(
        {newAct, openAct, saveAct, saveAsAct, exitAct, previewAct, informationAct, aboutAct}, this);
    installEventFilter(drops);
    for (QLineEdit* edit : textBoxes()) {
        edit->installEventFilter(drops);
        edit->installEventFilter(shortcuts);
    }
}

void MainWindow::fillFontList() {
    QStringList names;
    const QStringList families = QFontDatabase::families();
    for (const QString& family : families) {
        names << plainFamilyName(family);
    }
    // A family installed by two makers comes as "C059 [urw]" and "C059 [UKWN]": one name.
    names.removeDuplicates();
    std::stable_sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    fontList->addItems(names);
    fontList->setCurrentRow(0);
}

// A face or colour that the list lacks is shown as an entry of its own, marked, and chosen, so
// that Save writes it back as it was read; the samples draw it as the system can.
void MainWindow::chooseEntry(ChoiceList* list, const QString& value, const QString& marked) {
    int row = findIgnoringCase(list->texts(), value);
    if (row < 0) {
        auto* item = new QListWidgetItem(marked);
        item->setData(Qt::UserRole, value);
        item->setData(kMarkedRole, true);
        item->setToolTip(marked);
        // The font list's own entries are sorted; the colours keep their order.
        list->insertItem(list == fontList ? 0 : list->count(), item);
        row = list->row(item);
    } else if (list == fontList) {
        // The face as the document spells it, should its line be written again for a size.
        list->item(row)->setData(Qt::UserRole, value);
    }
    list->setCurrentRow(row);
}

// Takes away what chooseEntry() added for the document shown before.
void MainWindow::forgetDocumentEntries() {
    for (ChoiceList* list : {fontList, colourList}) {
        for (int row = list->count() - 1; row >= 0; --row) {
            if (list->item(row)->data(kMarkedRole).toBool()) {
                delete list->takeItem(row);
            } else {
                list->item(row)->setData(Qt::UserRole, QVariant());
            }
        }
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

void MainWindow::updateSamples() {
    // A colour the list lacks is drawn as a page would draw its name, or black.
    const QString colourName = colourList->value();
    const QColor named = QColor::fromString(colourName);
    const QColor foreground = findColour(colourName.toStdString()) < 0 && named.isValid()
                                  ? named
                                  : fromScreenColour(screenColour(colourName.toStdString()));
    const QColor silver = fromScreenColour(kSilverScreenColour);
    const QColor background = foreground == silver ? QColor(Qt::black) : silver;
    const std::pair<QLabel*, const QLineEdit*> samples[] = {{titleSample, titleSizeEdit},
                                                            {infoSample, infoSizeEdit}};
    for (const auto& [label, sizeEdit] : samples) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::Window, background);
        palette.setColor(QPalette::WindowText, foreground);
        label->setPalette(palette);
        QFont font = label->font();
        font.setFamily(fontList->value());
        font.setPointSizeF(numericValue(sizeEdit->text().toStdString()));
        label->setFont(font);
        label->setText(fontList->value());
    }
}

FolderViewSettings MainWindow::currentSettings() const {
    FolderViewSettings settings;
    settings.description = descriptionEdit->text().toStdString();
    settings.backgroundImage = backgroundEdit->text().toStdString();
    settings.lineImage = lineImageEdit->text().toStdString();
    settings.soundFile = soundEdit->text().toStdString();
    settings.loopForever = loopForeverButton->isChecked();
    settings.loopCount = loopCountEdit->text().toStdString();
    settings.fontFace = fontList->value().toStdString();
    settings.textColour = colourList->value().toStdString();
    settings.infoSize = infoSizeEdit->text().toStdString();
    settings.titleSize = titleSizeEdit->text().toStdString();
    return settings;
}

void MainWindow::showDocument(const QString& sourceName) {
    statusLabel->setFullText(messages::placeholderName(session_.newNum));
    forgetDocumentEntries();
    ControlsTarget target(*this);
    const ReadOutcome outcome = readSettings(session_.document, target);
    if (!outcome.complete) {
        const QString name = sourceName.isEmpty() ? currentFile() : sourceName;
        const Message refused = messages::loadError(name);
        dialogs_.message(refused.icon, Dialogs::Buttons::Ok, refused.title, refused.text);
        return;
    }
    updateSamples();
    for (ChoiceList* list : {fontList, colourList}) {
        if (QListWidgetItem* chosen = list->item(list->chosenRow())) {
            list->scrollToItem(chosen);
        }
    }
    // Another document may hold the same settings but other lines.
    preview_->update();
}

QString MainWindow::currentFile() const {
    return statusLabel->fullText();
}

void MainWindow::setCurrentFile(const QString& path) {
    statusLabel->setFullText(path);
    preview_->setTitle(QFileInfo(path).fileName());
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
    if (const auto done = folderCommands_.useForFolder(start)) {
        statusBar()->showMessage(done->status, kFolderResultMs);
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
    previewStoppedNotice->hide();
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

void MainWindow::correctSize(QLineEdit* edit, std::string_view fallback) {
    const std::string text = edit->text().toStdString();
    const std::string corrected = correctedSize(text, fallback);
    if (corrected != text) {
        // Runs this handling once more, nested; the corrected text passes it unchanged.
        edit->setText(qs(corrected));
    }
    updateSamples();
}

void MainWindow::correctLoopCount() {
    const std::string text = loopCountEdit->text().toStdString();
    const std::string corrected = correctedLoopCount(text);
    if (corrected != text) {
        loopCountEdit->setText(qs(corrected));
    }
}

bool MainWindow::chooseFile(const QString& title, const QString& filter) {
    DialogState& dialog = session_.dialog;
    dialog.title = title;
    dialog.filter = filter;
    return dialogs_.showOpen(dialog);
}

void MainWindow::chooseSound() {
    if (chooseFile(tr("Choose Sound File"), filters::sound())) {
        setPath(soundEdit, session_.dialog.fileName);
    }
}

void MainWindow::chooseBackground() {
    if (chooseFile(tr("Choose Background Image"), filters::image())) {
        setPath(backgroundEdit, session_.dialog.fileName);
    }
}

void MainWindow::chooseLineImage() {
    if (chooseFile(tr("Choose Line Image"), filters::image())) {
        setPath(lineImageEdit, session_.dialog.fileName);
    }
}

void MainWindow::setPath(QLineEdit* edit, const QString& path) {
    edit->setText(path);
    if (edit != backgroundEdit && edit != lineImageEdit) {
        return;
    }
    if (!viewer_) {
        viewer_ = new PictureViewer();
    }
    viewer_->showPicture(path, edit == backgroundEdit ? PictureView::Placement::Tiled
                                                      : PictureView::Placement::Centred);
}

void MainWindow::openDroppedFile(const QString& path) {
    // The question and the messages that opening may show are modal; they wait until the drag
    // has finished, so that the program the file came from is not kept waiting.
    QMetaObject::invokeMethod(
        this, [this, path] { commands_.openDropped(path); }, Qt::QueuedConnection);
}

}  // namespace tessivane
