// SPDX-License-Identifier: MIT
#include "ui/settings_form.h"

#include <limits>

#include <QColor>
#include <QCoreApplication>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <algorithm>
#include <utility>

#include "document/colours.h"
#include "document/numeric.h"
#include "document/reader.h"
#include "ui/twips.h"
#include "ui/widgets.h"

namespace tessivane {

namespace {

QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

void place(QWidget* widget, const Twips& twips) {
    widget->setGeometry(pixels(widget, twips));
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

}  // namespace

// Puts the values that the reader finds into the controls, so that each control's own change
// handling runs as if the user had entered it.
class SettingsForm::ControlsTarget final : public SettingsTarget {
    Q_DECLARE_TR_FUNCTIONS(tessivane::SettingsForm)

public:
    explicit ControlsTarget(SettingsForm& form) : w_(form) {}

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
            // The list widens for the entry, as far as the font list can give room; beyond
            // that a long name gives way, so that the mark stays readable.
            const QString mark = tr("%1 (custom)");
            const QFontMetrics metrics(w_.colourList->font());
            w_.widenColourList(metrics.horizontalAdvance(mark.arg(qs(colour))) + kItemPadding);
            const int room = w_.colourList->width() - w_.listFrameWidth() -
                             metrics.horizontalAdvance(mark.arg(QString())) - kItemPadding;
            w_.chooseEntry(w_.colourList, qs(colour),
                           mark.arg(metrics.elidedText(qs(colour), Qt::ElideRight, room)),
                           mark.arg(qs(colour)));
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
    SettingsForm& w_;
};

SettingsForm::SettingsForm(QWidget* parent) : QWidget(parent) {
    createFontGroup();
    createSoundGroup();
    createGraphicGroup();
    arrangeTabOrder();
    fillFontList();
    for (QLineEdit* edit : textBoxes()) {
        connect(edit, &QLineEdit::textChanged, this, &SettingsForm::changed);
    }
    connect(fontList, &ChoiceList::choiceChanged, this, &SettingsForm::changed);
    connect(colourList, &ChoiceList::choiceChanged, this, &SettingsForm::changed);
    connect(loopForeverButton, &QRadioButton::toggled, this, &SettingsForm::changed);
}

void SettingsForm::createFontGroup() {
    fontGroup = named(new GroupBox(tr("Font &Options"), this), "frmFont");
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
    colourLabel = caption(fontGroup, "lblCol", tr("&Colour"), colourList, {6000, 120, 450, 195});
    widenColourList(colourList->sizeHintForColumn(0));
    colourListWidth = colourList->width();

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
    connect(fontList, &ChoiceList::choiceChanged, this, &SettingsForm::updateSamples);
    connect(colourList, &ChoiceList::choiceChanged, this, &SettingsForm::updateSamples);
}

void SettingsForm::createSoundGroup() {
    soundGroup = named(new GroupBox(tr("&Sound Options"), this), "frmSounds");
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

    connect(chooseSoundButton, &QPushButton::clicked, this,
            [this] { emit fileWanted(PathBox::Sound); });
    connect(loopCountEdit, &QLineEdit::textChanged, this, &SettingsForm::correctLoopCount);
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

void SettingsForm::createGraphicGroup() {
    graphicGroup = named(new GroupBox(tr("Graphic Options"), this), "frmGraphic");
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

    connect(chooseBackgroundButton, &QPushButton::clicked, this,
            [this] { emit fileWanted(PathBox::Background); });
    connect(chooseLineImageButton, &QPushButton::clicked, this,
            [this] { emit fileWanted(PathBox::LineImage); });
}

QList<QLineEdit*> SettingsForm::textBoxes() const {
    return {titleSizeEdit,  infoSizeEdit,  soundEdit,      loopCountEdit,
            backgroundEdit, lineImageEdit, descriptionEdit};
}

void SettingsForm::arrangeTabOrder() {
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

void SettingsForm::fillFontList() {
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
void SettingsForm::chooseEntry(ChoiceList* list, const QString& value, const QString& marked,
                               const QString& whole) {
    int row = findIgnoringCase(list->texts(), value);
    if (row < 0) {
        auto* item = new QListWidgetItem(marked);
        item->setData(Qt::UserRole, value);
        item->setData(kMarkedRole, true);
        item->setToolTip(whole.isEmpty() ? marked : whole);
        // The font list's own entries are sorted; the colours keep their order.
        list->insertItem(list == fontList ? 0 : list->count(), item);
        row = list->row(item);
    } else if (list == fontList) {
        // The face as the document spells it, should its line be written again for a size.
        list->item(row)->setData(Qt::UserRole, value);
    }
    list->setCurrentRow(row);
}

int SettingsForm::listFrameWidth() const {
    return 2 * colourList->frameWidth() +
           colourList->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, colourList);
}

// Widens the colour list to the left, keeping its right edge, for entries of the width given; the
// font list gives up as much of its right side, down to half of what it had.
void SettingsForm::widenColourList(int entryWidth) {
    const int most = fontList->width() / 2;
    const int grow = std::min(entryWidth + listFrameWidth() - colourList->width(), most);
    if (grow > 0) {
        colourList->setGeometry(colourList->geometry().adjusted(-grow, 0, 0, 0));
        fontList->setGeometry(fontList->geometry().adjusted(0, 0, -grow, 0));
        colourLabel->move(colourList->x(), colourLabel->y());
    }
}

// Takes away what chooseEntry() added for the document shown before.
void SettingsForm::forgetDocumentEntries() {
    if (const int shrink = colourList->width() - colourListWidth; shrink > 0) {
        colourList->setGeometry(colourList->geometry().adjusted(shrink, 0, 0, 0));
        fontList->setGeometry(fontList->geometry().adjusted(0, 0, shrink, 0));
        colourLabel->move(colourList->x(), colourLabel->y());
    }
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

void SettingsForm::updateSamples() {
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

FolderViewSettings SettingsForm::settings() const {
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

bool SettingsForm::showDocument(const WorkingDocument& document) {
    forgetDocumentEntries();
    ControlsTarget target(*this);
    if (!readSettings(document, target).complete) {
        return false;
    }
    updateSamples();
    for (ChoiceList* list : {fontList, colourList}) {
        if (QListWidgetItem* chosen = list->item(list->chosenRow())) {
            list->scrollToItem(chosen);
        }
    }
    return true;
}

QLineEdit* SettingsForm::pathBox(PathBox box) const {
    switch (box) {
        case PathBox::Sound:
            return soundEdit;
        case PathBox::Background:
            return backgroundEdit;
        case PathBox::LineImage:
            break;
    }
    return lineImageEdit;
}

void SettingsForm::correctSize(QLineEdit* edit, std::string_view fallback) {
    const std::string text = edit->text().toStdString();
    const std::string corrected = correctedSize(text, fallback);
    if (corrected != text) {
        // Runs this handling once more, nested; the corrected text passes it unchanged.
        edit->setText(qs(corrected));
    }
    updateSamples();
}

void SettingsForm::correctLoopCount() {
    const std::string text = loopCountEdit->text().toStdString();
    const std::string corrected = correctedLoopCount(text);
    if (corrected != text) {
        loopCountEdit->setText(qs(corrected));
    }
}

}  // namespace tessivane
