// SPDX-License-Identifier: MIT
#include "ui/main_window.h"

#include <limits>

#include <QAction>
#include <QCloseEvent>
#include <QColor>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QUrl>
#include <algorithm>
#include <optional>

#include "app/messages.h"
#include "app/startup.h"
#include "controls/file_services.h"
#include "controls/utility_services.h"
#include "document/colours.h"
#include "document/numeric.h"
#include "document/reader.h"
#include "ui/form_controls.h"
#include "ui/icons.h"
#include "ui/picture_viewer.h"
#include "ui/twips.h"

namespace tessivane {

namespace {

QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// A position and size in twips, relative to the containing frame or window.
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

// A caption (label or option button) sizes itself to its text: it keeps its place and grows
// wider or taller when the text at the real font needs more room than the twips allow. A caption
// that would then reach the control at rightLimit moves left instead, as far as it needs.
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

QLineEdit* textBox(QWidget* parent, const char* name, const QString& text, const Twips& twips) {
    auto* box = named(new QLineEdit(text, parent), name);
    // Qt would otherwise keep at most 32,767 characters and cut a longer text without a word.
    box->setMaxLength(std::numeric_limits<int>::max());
    place(box, twips);
    return box;
}

QLabel* caption(QWidget* parent, const char* name, const QString& text, QWidget* buddy,
                const Twips& twips) {
    auto* label = named(new QLabel(text, parent), name);
    label->setBuddy(buddy);
    placeCaption(label, twips);
    return label;
}

QPushButton* chooserButton(QWidget* parent, const char* name, const Twips& twips) {
    auto* button = named(new QPushButton(QStringLiteral("..."), parent), name);
    button->setAutoDefault(false);
    place(button, twips);
    return button;
}

// A list box as the platform draws one: no horizontal scroll bar; an item too wide is cut short.
ChoiceList* listBox(QWidget* parent, const char* name, const Twips& twips) {
    auto* list = named(new ChoiceList(parent), name);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
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

QColor fromScreenColour(quint32 colour) {
    return QColor(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));
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

}  // namespace

// Puts the values that the reader finds into the controls, so that each control's own change
// handling runs as if the user had entered it.
class MainWindow::ControlsTarget final : public SettingsTarget {
public:
    explicit ControlsTarget(MainWindow& form) : form_(form) {}

    void setInfoSize(const std::string& text) override { form_.Info->setText(qs(text)); }
    void setTitleSize(const std::string& text) override { form_.Title->setText(qs(text)); }
    void selectFontFace(const std::string& face) override {
        const int row = findIgnoringCase(form_.Fnts->texts(), qs(face));
        if (row != -1) {
            form_.Fnts->setCurrentRow(row);
        }
    }
    void selectColour(const std::string& colour) override {
        form_.ColSel->setCurrentRow(findIgnoringCase(form_.ColSel->texts(), qs(colour)));
    }
    void setSoundFile(const std::string& path) override { form_.Sound->setText(qs(path)); }
    void chooseLoopCount(const std::string& count) override {
        form_.txtLoop->setText(qs(count));
        form_.Number->setChecked(true);
        form_.txtLoop->setEnabled(true);
    }
    void chooseLoopForever() override {
        form_.optLoop->setChecked(true);
        form_.txtLoop->setEnabled(false);
    }
    void setBackgroundImage(const std::string& path) override { form_.Bck->setText(qs(path)); }
    void setLineImage(const std::string& path) override { form_.Img->setText(qs(path)); }
    void setDescription(const std::string& text) override { form_.Fol->setText(qs(text)); }

private:
    MainWindow& form_;
};

MainWindow::MainWindow(const QString& commandLineText, Dialogs& dialogs, QWidget* parent)
    : QMainWindow(parent),
      dialogs_(dialogs),
      commands_(session_, *this, dialogs),
      commandLineText_(commandLineText) {
    setObjectName(QStringLiteral("MainWindow"));
    // A fixed single border: minimise and close, no maximise.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("Tessivane"));
    setWindowIcon(appIcon());
    setCentralWidget(new QWidget(this));

    createMenus();
    createFontFrame();
    createSoundFrame();
    createGraphicFrame();
    createStatusBar();
    fixWindowFrame();
    connectEvents();
    Form_Load();
}

MainWindow::~MainWindow() {
    delete viewer_;
}

PictureViewer* MainWindow::viewer() const {
    return viewer_;
}

void MainWindow::createMenus() {
    const auto item = [this](QMenu* menu, const char* name, const QString& text,
                             const QKeySequence& shortcut) {
        QAction* action = named(menu->addAction(text), name);
        action->setShortcut(shortcut);
        return action;
    };
    const auto separator = [](QMenu* menu, const char* name) { named(menu->addSeparator(), name); };

    mnuFile = named(menuBar()->addMenu(QStringLiteral("&File")), "mnuFile");
    mnuNew = item(mnuFile, "mnuNew", QStringLiteral("&New"), QKeySequence(Qt::CTRL | Qt::Key_N));
    separator(mnuFile, "Div3");
    mnuOpen =
        item(mnuFile, "mnuOpen", QStringLiteral("&Open..."), QKeySequence(Qt::CTRL | Qt::Key_O));
    mnuSave =
        item(mnuFile, "mnuSave", QStringLiteral("&Save..."), QKeySequence(Qt::CTRL | Qt::Key_S));
    mnuAs = item(mnuFile, "mnuAs", QStringLiteral("Save &As..."), QKeySequence(Qt::Key_F2));
    separator(mnuFile, "Div1");
    mnuExit = item(mnuFile, "mnuExit", QStringLiteral("&Exit"), QKeySequence(Qt::Key_F4));

    mnuHelp = named(menuBar()->addMenu(QStringLiteral("&Help")), "mnuHelp");
    mnuInfo = item(mnuHelp, "mnuInfo", QStringLiteral("&Information"), QKeySequence(Qt::Key_F1));
    separator(mnuHelp, "Div2");
    mnuAbout =
        item(mnuHelp, "mnuAbout", QStringLiteral("&About"), QKeySequence(Qt::CTRL | Qt::Key_A));
}

void MainWindow::createFontFrame() {
    frmFont = named(new Frame(QStringLiteral("Font &Options"), centralWidget()), "frmFont");
    place(frmFont, {120, 120, 7095, 4095});

    Fnts = listBox(frmFont, "Fnts", {120, 240, 5775, 2010});
    ColSel = listBox(frmFont, "ColSel", {6000, 360, 975, 1815});
    for (const std::string_view colour : kColourNames) {
        ColSel->addItem(qs(colour));
    }
    // Every colour name must be readable whole. When the real font needs a wider list, the
    // colour list grows to the left, keeping its right edge, and the font list gives up as much
    // of its right side.
    const int needed = ColSel->sizeHintForColumn(0) + 2 * ColSel->frameWidth() +
                       ColSel->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, ColSel);
    if (needed > ColSel->width()) {
        const int grow = needed - ColSel->width();
        ColSel->setGeometry(ColSel->geometry().adjusted(-grow, 0, 0, 0));
        Fnts->setGeometry(Fnts->geometry().adjusted(0, 0, -grow, 0));
    }
    lblCol = caption(frmFont, "lblCol", QStringLiteral("&Colour"), ColSel, {6000, 120, 450, 195});
    lblCol->move(ColSel->x(), lblCol->y());

    Title = textBox(frmFont, "Title", QStringLiteral("12"), {120, 2520, 1695, 285});
    TSize = caption(frmFont, "TSize", QStringLiteral("&Title Size:"), Title, {120, 2280, 690, 195});
    Info = textBox(frmFont, "Info", QStringLiteral("10"), {120, 3600, 1695, 285});
    ISize = caption(frmFont, "ISize", QStringLiteral("&Information Text Size:"), Info,
                    {120, 3360, 1530, 195});

    titleSample = sample(frmFont, "titleSample", {1920, 2400, 5055, 735});
    infoSample = sample(frmFont, "infoSample", {1920, 3240, 5055, 735});
    // The size captions stand left of the samples. When the real font makes a caption wider
    // than the room before the samples, both samples give up that much of their left side
    // (they keep their right edge, and stay aligned with each other).
    const int captionsEnd = std::max(TSize->geometry().right(), ISize->geometry().right()) + 1;
    const int samplesLeft = std::max(titleSample->x(), captionsEnd + captionGap(frmFont));
    for (QLabel* label : {titleSample, infoSample}) {
        label->setGeometry(QRect(QPoint(samplesLeft, label->y()), label->geometry().bottomRight()));
    }
}

void MainWindow::createSoundFrame() {
    frmSounds = named(new Frame(QStringLiteral("&Sound Options"), centralWidget()), "frmSounds");
    place(frmSounds, {120, 4320, 7095, 1095});

    Sound = textBox(frmSounds, "Sound", QString(), {120, 360, 6375, 285});
    Browse1 = chooserButton(frmSounds, "Browse1", {6600, 240, 375, 375});
    optLoop = named(new OptionButton(QStringLiteral("&Loop Forever"), frmSounds), "optLoop");
    placeCaption(optLoop, {120, 720, 1335, 255});
    txtLoop = textBox(frmSounds, "txtLoop", QStringLiteral("1"), {6240, 720, 735, 285});
    Number = named(new OptionButton(QStringLiteral("Loo&p for:"), frmSounds), "Number");
    placeCaption(Number, {5160, 720, 975, 255}, txtLoop->x() - captionGap(frmSounds));
}

void MainWindow::createGraphicFrame() {
    frmGraphic = named(new Frame(QStringLiteral("Graphic Options"), centralWidget()), "frmGraphic");
    place(frmGraphic, {120, 5520, 7095, 2175});

    Bck = textBox(frmGraphic, "Bck", QString(), {120, 480, 6375, 285});
    lblBck = caption(frmGraphic, "lblBck", QStringLiteral("&Background Image:"), Bck,
                     {120, 240, 1395, 195});
    Browse2 = chooserButton(frmGraphic, "Browse2", {6600, 480, 375, 375});
    Img = textBox(frmGraphic, "Img", QString(), {120, 1080, 6375, 285});
    lblLine =
        caption(frmGraphic, "lblLine", QStringLiteral("Li&ne Image:"), Img, {120, 840, 825, 195});
    Browse3 = chooserButton(frmGraphic, "Browse3", {6600, 1080, 375, 375});
    Fol = textBox(frmGraphic, "Fol", QString(), {120, 1680, 6855, 285});
    lblFolDesc = caption(frmGraphic, "lblFolDesc", QStringLiteral("Folder &Description:"), Fol,
                         {120, 1440, 1320, 195});
}

void MainWindow::createStatusBar() {
    CurFile = named(new SimpleStatusBar(this), "CurFile");
    CurFile->setFixedHeight(pixelSize(this, 0, kStatusBarHeight).height());
    setStatusBar(CurFile);
}

void MainWindow::fixWindowFrame() {
    // The client area below the menu bar is fixed: the controls' area above the status bar.
    centralWidget()->setFixedSize(pixelSize(this, kClientWidth, kClientHeight - kStatusBarHeight));
    setFixedSize(sizeHint());
    if (const QScreen* screen = this->screen()) {
        setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(),
                                        screen->availableGeometry()));
    }
    setAcceptDrops(true);
}

void MainWindow::connectEvents() {
    connect(Info, &QLineEdit::textChanged, this, &MainWindow::Info_Change);
    connect(Title, &QLineEdit::textChanged, this, &MainWindow::Title_Change);
    connect(txtLoop, &QLineEdit::textChanged, this, &MainWindow::txtLoop_Change);
    connect(Sound, &QLineEdit::textChanged, this, &MainWindow::Sound_Change);
    // An option button's click is its being chosen, by the user or by code.
    connect(Number, &QRadioButton::toggled, this, [this](bool chosen) {
        if (chosen) {
            Number_Click();
        }
    });
    connect(optLoop, &QRadioButton::toggled, this, [this](bool chosen) {
        if (chosen) {
            optLoop_Click();
        }
    });
    connect(ColSel, &ChoiceList::choiceChanged, this, &MainWindow::ColSel_Click);
    connect(Fnts, &ChoiceList::choiceChanged, this, &MainWindow::Fnts_Click);
    connect(Browse1, &QPushButton::clicked, this, &MainWindow::Browse1_Click);
    connect(Browse2, &QPushButton::clicked, this, &MainWindow::Browse2_Click);
    connect(Browse3, &QPushButton::clicked, this, &MainWindow::Browse3_Click);

    connect(mnuNew, &QAction::triggered, this, &MainWindow::mnuNew_Click);
    connect(mnuOpen, &QAction::triggered, this, &MainWindow::mnuOpen_Click);
    connect(mnuSave, &QAction::triggered, this, &MainWindow::mnuSave_Click);
    connect(mnuAs, &QAction::triggered, this, &MainWindow::mnuAs_Click);
    connect(mnuExit, &QAction::triggered, this, &MainWindow::mnuExit_Click);
    connect(mnuInfo, &QAction::triggered, this, &MainWindow::mnuInfo_Click);
    connect(mnuAbout, &QAction::triggered, this, &MainWindow::mnuAbout_Click);

    for (QLineEdit* box : {Title, Info, Sound, txtLoop, Bck, Img, Fol}) {
        box->installEventFilter(this);
    }
    arrangeTabOrder();
}

void MainWindow::arrangeTabOrder() {
    const QList<QWidget*> order = {Fnts,   ColSel,  Title, Info,    Sound, Browse1, optLoop,
                                   Number, txtLoop, Bck,   Browse2, Img,   Browse3, Fol};
    for (qsizetype i = 0; i + 1 < order.size(); ++i) {
        QWidget::setTabOrder(order[i], order[i + 1]);
    }
    Fnts->setFocus(Qt::OtherFocusReason);
}

void MainWindow::Form_Load() {
    session_.newNum = 1;
    FontList(Fnts);
    delete Fnts->takeItem(0);
    Fnts->setCurrentRow(0);

    FirstDocument first = firstDocument(commandLineText_);
    session_.document = std::move(first.document);
    session_.stamp = first.stamp;
    if (!first.warning.text.isEmpty()) {
        dialogs_.message(first.warning.icon, Dialogs::Buttons::Ok, first.warning.title,
                         first.warning.text);
    }
    showDocument(first.sourceName);
    if (!first.sourceName.isEmpty()) {
        setCurrentFile(first.sourceName);
    }
}

void MainWindow::Form_Unload(QCloseEvent* event) {
    const bool stay = !maybeSave();
    if (viewer_) {
        viewer_->close();
    }
    if (stay) {
        event->ignore();
    } else {
        event->accept();
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    Form_Unload(event);
}

void MainWindow::FontList(ChoiceList* list) {
    QStringList names = list->texts();
    const QStringList families = QFontDatabase::families();
    for (const QString& family : families) {
        names << plainFamilyName(family);
    }
    // A family installed by two makers comes as "C059 [urw]" and "C059 [UKWN]": one name.
    names.removeDuplicates();
    names << QString();
    sortIgnoringCase(names);
    list->clear();
    list->addItems(names);
}

void MainWindow::SampleSet(bool forTitle) {
    const QString colourName = ColSel->text();
    const QColor background = screenColourOf(colourName) == kSilverScreenColour
                                  ? QColor(Qt::black)
                                  : fromScreenColour(screenColourOf(QStringLiteral("Silver")));
    for (QLabel* label : {titleSample, infoSample}) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::Window, background);
        label->setPalette(palette);
    }

    QLabel* label = forTitle ? titleSample : infoSample;
    const QLineEdit* size = forTitle ? Title : Info;
    QFont font = label->font();
    font.setFamily(Fnts->text());
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, fromScreenColour(screenColourOf(colourName)));
    label->setPalette(palette);
    font.setPointSizeF(numericValue(size->text().toStdString()));
    label->setFont(font);
    label->setText(Fnts->text());
}

FolderViewSettings MainWindow::currentSettings() const {
    FolderViewSettings settings;
    settings.description = Fol->text().toStdString();
    settings.backgroundImage = Bck->text().toStdString();
    settings.lineImage = Img->text().toStdString();
    settings.soundFile = Sound->text().toStdString();
    settings.loopForever = optLoop->isChecked();
    settings.loopCount = txtLoop->text().toStdString();
    settings.fontFace = Fnts->text().toStdString();
    settings.textColour = ColSel->text().toStdString();
    settings.infoSize = Info->text().toStdString();
    settings.titleSize = Title->text().toStdString();
    return settings;
}

void MainWindow::showDocument(const QString& sourceName) {
    CurFile->setSimpleText(messages::placeholderName(session_.newNum));
    ControlsTarget target(*this);
    const ReadOutcome outcome = readSettings(session_.document, target);
    if (!outcome.complete) {
        const QString name = sourceName.isEmpty() ? currentFile() : sourceName;
        const Message refused = messages::loadError(name);
        dialogs_.message(refused.icon, Dialogs::Buttons::Ok, refused.title, refused.text);
        return;
    }
    SampleSet(true);
    SampleSet(false);
    if (QListWidgetItem* font = Fnts->currentItem()) {
        Fnts->scrollToItem(font);
    }
}

QString MainWindow::currentFile() const {
    return CurFile->simpleText();
}

void MainWindow::setCurrentFile(const QString& path) {
    CurFile->setSimpleText(path);
}

bool MainWindow::maybeSave() {
    return commands_.maybeSave();
}

void MainWindow::mnuNew_Click() {
    commands_.newFile();
}
void MainWindow::mnuOpen_Click() {
    commands_.open();
}
void MainWindow::mnuSave_Click() {
    commands_.save();
}
void MainWindow::mnuAs_Click() {
    commands_.saveAs();
}
void MainWindow::mnuExit_Click() {
    close();
}
void MainWindow::mnuInfo_Click() {
    commands_.showInformation();
}
void MainWindow::mnuAbout_Click() {
    commands_.about();
}

void MainWindow::sizeChange(QLineEdit* box, std::string_view fallback, bool forTitle) {
    // Each setText below raises this handling once more, nested; the corrected text passes it.
    const std::string text = box->text().toStdString();
    if (!isNumeric(text)) {
        box->setText(qs(fallback));
    } else {
        if (numericValue(text) < kMinimumSize) {
            box->setText(QStringLiteral("1"));
        }
        if (numericValue(box->text().toStdString()) > kMaximumSize) {
            box->setText(QStringLiteral("2160"));
        }
    }
    SampleSet(forTitle);
}

void MainWindow::Info_Change() {
    sizeChange(Info, kInfoSizeFallback, false);
}

void MainWindow::Title_Change() {
    sizeChange(Title, kTitleSizeFallback, true);
}

void MainWindow::txtLoop_Change() {
    const std::string text = txtLoop->text().toStdString();
    if (!isNumeric(text) || numericValue(text) < 1) {
        txtLoop->setText(QStringLiteral("1"));
    }
}

void MainWindow::Number_Click() {
    txtLoop->setEnabled(true);
}

void MainWindow::optLoop_Click() {
    txtLoop->setEnabled(false);
}

void MainWindow::Sound_Change() {
    txtLoop->setEnabled(false);
}

void MainWindow::ColSel_Click() {
    SampleSet(true);
    SampleSet(false);
}

void MainWindow::Fnts_Click() {
    SampleSet(true);
    SampleSet(false);
}

bool MainWindow::chooseInto(QLineEdit* box, const QString& title, const QString& filter) {
    DialogState& dialog = session_.dialog;
    dialog.title = title;
    dialog.filter = filter;
    if (!dialogs_.showOpen(dialog)) {
        return false;
    }
    box->setText(dialog.fileName);
    return true;
}

void MainWindow::showPicture(const QString& path, int alignment) {
    if (!viewer_) {
        viewer_ = new PictureViewer();
    }
    viewer_->showPicture(path, alignment);
}

void MainWindow::Browse1_Click() {
    chooseInto(Sound, QStringLiteral("Choose Sound File"), filters::kSound);
}

void MainWindow::Browse2_Click() {
    if (chooseInto(Bck, QStringLiteral("Choose Background Image"), filters::kImage)) {
        showPicture(session_.dialog.fileName, PictureView::kTile);
    }
}

void MainWindow::Browse3_Click() {
    if (chooseInto(Img, QStringLiteral("Choose Line Image"), filters::kImage)) {
        showPicture(session_.dialog.fileName, PictureView::kCentre);
    }
}

void MainWindow::fillPath(QLineEdit* box, const QString& path) {
    box->setText(path);
    if (box == Bck) {
        showPicture(path, PictureView::kTile);
    } else if (box == Img) {
        showPicture(path, PictureView::kCentre);
    }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    auto* box = qobject_cast<QLineEdit*>(watched);
    const bool pathBox = box == Sound || box == Bck || box == Img;
    switch (event->type()) {
        case QEvent::ShortcutOverride: {
            // The menu shortcuts work in every text box, Ctrl+A included, which a text box
            // would otherwise keep for selecting its text.
            const auto* key = static_cast<QKeyEvent*>(event);
            const QKeySequence pressed(key->keyCombination());
            for (const QMenu* menu : {mnuFile, mnuHelp}) {
                for (const QAction* action : menu->actions()) {
                    if (!action->shortcut().isEmpty() && action->shortcut() == pressed) {
                        event->ignore();
                        return true;
                    }
                }
            }
            break;
        }
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            if ((pathBox && draggedFile(drag->mimeData())) ||
                (!pathBox && draggedTemplate(drag->mimeData()))) {
                drag->acceptProposedAction();
                return true;
            }
            break;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            if (pathBox) {
                if (const auto file = draggedFile(drop->mimeData())) {
                    drop->acceptProposedAction();
                    fillPath(box, *file);
                    return true;
                }
            } else if (draggedTemplate(drop->mimeData())) {
                dropEvent(drop);
                return true;
            }
            break;
        }
        default:
            break;
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (draggedTemplate(event->mimeData())) {
        event->acceptProposedAction();
    }
}

void MainWindow::dragMoveEvent(QDragMoveEvent* event) {
    if (draggedTemplate(event->mimeData())) {
        event->acceptProposedAction();
    }
}

void MainWindow::dropEvent(QDropEvent* event) {
    const std::optional<QString> file = draggedTemplate(event->mimeData());
    if (!file) {
        return;
    }
    event->acceptProposedAction();
    // The question and the messages that opening may show are modal; they wait until the drag
    // has finished, so that the program the file came from is not kept waiting.
    QMetaObject::invokeMethod(
        this, [this, path = *file] { commands_.openDropped(path); }, Qt::QueuedConnection);
}

}  // namespace tessivane
