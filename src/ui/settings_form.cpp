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

    void setInfoSize(const std::string& text) override {
        w_.infoSizeEdit_->setText(QString::fromStdString(text));
    }
    void setTitleSize(const std::string& text) override {
        w_.titleSizeEdit_->setText(QString::fromStdString(text));
    }
    void selectFontFace(const std::string& face) override {
        w_.chooseEntry(w_.fontList_, QString::fromStdString(face),
                       face.empty() ? tr("(no font)")
                                    : tr("%1 (not installed)").arg(QString::fromStdString(face)));
    }
    void selectColour(const std::string& colour) override {
        if (colour.empty()) {
            w_.colourList_->setCurrentRow(-1);
        } else {
            // The list widens for the entry, as far as the font list can give room; beyond
            // that a long name gives way, so that the mark stays readable.
            const QString mark = tr("%1 (custom)");
            const QFontMetrics metrics(w_.colourList_->font());
            w_.widenColourList(metrics.horizontalAdvance(mark.arg(QString::fromStdString(colour))) +
                               kItemPadding);
            const int room = w_.colourList_->width() - w_.listFrameWidth() -
                             metrics.horizontalAdvance(mark.arg(QString())) - kItemPadding;
            w_.chooseEntry(
                w_.colourList_, QString::fromStdString(colour),
                mark.arg(metrics.elidedText(QString::fromStdString(colour), Qt::ElideRight, room)),
                mark.arg(QString::fromStdString(colour)));
        }
    }
    void setSoundFile(const std::string& path) override {
        w_.soundEdit_->setText(QString::fromStdString(path));
    }
    void chooseLoopCount(const std::string& count) override {
        w_.loopCountEdit_->setText(QString::fromStdString(count));
        w_.loopCountButton_->setChecked(true);
        w_.loopCountEdit_->setEnabled(true);
    }
    void chooseLoopForever() override {
        w_.loopForeverButton_->setChecked(true);
        w_.loopCountEdit_->setEnabled(false);
    }
    void setBackgroundImage(const std::string& path) override {
        w_.backgroundEdit_->setText(QString::fromStdString(path));
    }
    void setLineImage(const std::string& path) override {
        w_.lineImageEdit_->setText(QString::fromStdString(path));
    }
    void setDescription(const std::string& text) override {
        w_.descriptionEdit_->setText(QString::fromStdString(text));
    }

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
    connect(fontList_, &ChoiceList::choiceChanged, this, &SettingsForm::changed);
    connect(colourList_, &ChoiceList::choiceChanged, this, &SettingsForm::changed);
    connect(loopForeverButton_, &QRadioButton::toggled, this, &SettingsForm::changed);
}

void SettingsForm::createFontGroup() {
    fontGroup_ = named(new GroupBox(tr("Font &Options"), this), "frmFont");
    place(fontGroup_, {120, 120, 7095, 4095});

    fontList_ = choiceList(fontGroup_, "Fnts", {120, 240, 5775, 2010});
    fontList_->setAccessibleName(tr("Font"));
    colourList_ = choiceList(fontGroup_, "ColSel", {6000, 360, 975, 1890});
    colourList_->setAccessibleName(tr("Colour"));
    for (const std::string_view colour : kColourNames) {
        colourList_->addItem(QString::fromLatin1(colour));
    }
    // Every colour name must be readable whole. When the real font needs a wider list, the
    // colour list grows to the left, keeping its right edge, and the font list gives up as much
    // of its right side.
    colourLabel_ = caption(fontGroup_, "lblCol", tr("&Colour"), colourList_, {6000, 120, 450, 195});
    widenColourList(colourList_->sizeHintForColumn(0));
    colourListWidth_ = colourList_->width();

    titleSizeEdit_ = lineEdit(fontGroup_, "Title", QStringLiteral("12"), {120, 2520, 1695, 285});
    const QLabel* titleSizeLabel =
        caption(fontGroup_, "TSize", tr("&Title Size:"), titleSizeEdit_, {120, 2280, 690, 195});
    infoSizeEdit_ = lineEdit(fontGroup_, "Info", QStringLiteral("10"), {120, 3600, 1695, 285});
    const QLabel* infoSizeLabel = caption(fontGroup_, "ISize", tr("&Information Text Size:"),
                                          infoSizeEdit_, {120, 3360, 1530, 195});

    titleSample_ = sample(fontGroup_, "titleSample", {1920, 2400, 5055, 735});
    infoSample_ = sample(fontGroup_, "infoSample", {1920, 3240, 5055, 735});
    titleSample_->setAccessibleDescription(
        tr("Sample of the folder title in the chosen font, colour and title size"));
    infoSample_->setAccessibleDescription(
        tr("Sample of the information text in the chosen font, colour and size"));
    // The size captions stand left of the samples. When the real font makes a caption wider
    // than the room before the samples, both samples give up that much of their left side
    // (they keep their right edge, and stay aligned with each other).
    const int captionsEnd =
        std::max(titleSizeLabel->geometry().right(), infoSizeLabel->geometry().right()) + 1;
    const int samplesLeft = std::max(titleSample_->x(), captionsEnd + captionGap(fontGroup_));
    for (QLabel* label : {titleSample_, infoSample_}) {
        label->setGeometry(QRect(QPoint(samplesLeft, label->y()), label->geometry().bottomRight()));
    }

    connect(titleSizeEdit_, &QLineEdit::textChanged, this,
            [this] { correctSize(titleSizeEdit_, kTitleSizeFallback); });
    connect(infoSizeEdit_, &QLineEdit::textChanged, this,
            [this] { correctSize(infoSizeEdit_, kInfoSizeFallback); });
    connect(fontList_, &ChoiceList::choiceChanged, this, &SettingsForm::updateSamples);
    connect(colourList_, &ChoiceList::choiceChanged, this, &SettingsForm::updateSamples);
}

void SettingsForm::createSoundGroup() {
    soundGroup_ = named(new GroupBox(tr("&Sound Options"), this), "frmSounds");
    place(soundGroup_, {120, 4320, 7095, 1095});

    soundEdit_ = lineEdit(soundGroup_, "Sound", QString(), {120, 360, 6375, 285});
    soundEdit_->setAccessibleName(tr("Sound file"));
    chooseSoundButton_ = chooserButton("Browse1", soundEdit_, tr("Choose sound file…"));
    loopForeverButton_ = named(new RadioButton(tr("&Loop Forever"), soundGroup_), "optLoop");
    placeCaption(loopForeverButton_, {120, 720, 1335, 255});
    loopCountEdit_ = lineEdit(soundGroup_, "txtLoop", QStringLiteral("1"), {6240, 720, 735, 285});
    loopCountEdit_->setAccessibleName(tr("Number of times"));
    loopCountButton_ = named(new RadioButton(tr("Loo&p for:"), soundGroup_), "Number");
    placeCaption(loopCountButton_, {5160, 720, 975, 255},
                 loopCountEdit_->x() - captionGap(soundGroup_));

    connect(chooseSoundButton_, &QPushButton::clicked, this,
            [this] { emit fileWanted(PathBox::Sound); });
    connect(loopCountEdit_, &QLineEdit::textChanged, this, &SettingsForm::correctLoopCount);
    // The loop count is in use only while "Loop for" is chosen, by the user or by code; a new
    // sound path puts it out of use until then.
    connect(loopCountButton_, &QRadioButton::toggled, this, [this](bool chosen) {
        if (chosen) {
            loopCountEdit_->setEnabled(true);
        }
    });
    connect(loopForeverButton_, &QRadioButton::toggled, this, [this](bool chosen) {
        if (chosen) {
            loopCountEdit_->setEnabled(false);
        }
    });
    connect(soundEdit_, &QLineEdit::textChanged, this,
            [this] { loopCountEdit_->setEnabled(false); });
}

void SettingsForm::createGraphicGroup() {
    graphicGroup_ = named(new GroupBox(tr("Graphic Options"), this), "frmGraphic");
    place(graphicGroup_, {120, 5520, 7095, 2175});

    backgroundEdit_ = lineEdit(graphicGroup_, "Bck", QString(), {120, 480, 6375, 285});
    caption(graphicGroup_, "lblBck", tr("&Background Image:"), backgroundEdit_,
            {120, 240, 1395, 195});
    chooseBackgroundButton_ =
        chooserButton("Browse2", backgroundEdit_, tr("Choose background image…"));
    lineImageEdit_ = lineEdit(graphicGroup_, "Img", QString(), {120, 1080, 6375, 285});
    caption(graphicGroup_, "lblLine", tr("Li&ne Image:"), lineImageEdit_, {120, 840, 825, 195});
    chooseLineImageButton_ = chooserButton("Browse3", lineImageEdit_, tr("Choose line image…"));
    descriptionEdit_ = lineEdit(graphicGroup_, "Fol", QString(), {120, 1680, 6855, 285});
    caption(graphicGroup_, "lblFolDesc", tr("Folder &Description:"), descriptionEdit_,
            {120, 1440, 1320, 195});

    connect(chooseBackgroundButton_, &QPushButton::clicked, this,
            [this] { emit fileWanted(PathBox::Background); });
    connect(chooseLineImageButton_, &QPushButton::clicked, this,
            [this] { emit fileWanted(PathBox::LineImage); });
}

QList<QLineEdit*> SettingsForm::textBoxes() const {
    return {titleSizeEdit_,  infoSizeEdit_,  soundEdit_,      loopCountEdit_,
            backgroundEdit_, lineImageEdit_, descriptionEdit_};
}

void SettingsForm::arrangeTabOrder() {
    const QList<QWidget*> order = {fontList_,
                                   colourList_,
                                   titleSizeEdit_,
                                   infoSizeEdit_,
                                   soundEdit_,
                                   chooseSoundButton_,
                                   loopForeverButton_,
                                   loopCountButton_,
                                   loopCountEdit_,
                                   backgroundEdit_,
                                   chooseBackgroundButton_,
                                   lineImageEdit_,
                                   chooseLineImageButton_,
                                   descriptionEdit_};
    for (qsizetype i = 0; i + 1 < order.size(); ++i) {
        QWidget::setTabOrder(order[i], order[i + 1]);
    }
    fontList_->setFocus(Qt::OtherFocusReason);
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
    fontList_->addItems(names);
    fontList_->setCurrentRow(0);
}

// A face or colour that the list lacks is shown as an entry of its own, marked, and chosen, so
// that Save writes it back as it was read; the samples draw it as the system can.
void SettingsForm::chooseEntry(ChoiceList* list, const QString& value, const QString& marked,
                               const QString& whole) {
    // The first item whose whole text is the value, letter case aside.
    const QList<QListWidgetItem*> found = list->findItems(value, Qt::MatchFixedString);
    int row = found.isEmpty() ? -1 : list->row(found.first());
    if (row < 0) {
        auto* item = new QListWidgetItem(marked);
        item->setData(Qt::UserRole, value);
        item->setData(kMarkedRole, true);
        item->setToolTip(whole.isEmpty() ? marked : whole);
        // The font list's own entries are sorted; the colours keep their order.
        list->insertItem(list == fontList_ ? 0 : list->count(), item);
        row = list->row(item);
    } else if (list == fontList_) {
        // The face as the document spells it, should its line be written again for a size.
        list->item(row)->setData(Qt::UserRole, value);
    }
    list->setCurrentRow(row);
}

int SettingsForm::listFrameWidth() const {
    return 2 * colourList_->frameWidth() +
           colourList_->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, colourList_);
}

// Widens the colour list to the left, keeping its right edge, for entries of the width given; the
// font list gives up as much of its right side, down to half of what it had.
void SettingsForm::widenColourList(int entryWidth) {
    const int most = fontList_->width() / 2;
    const int grow = std::min(entryWidth + listFrameWidth() - colourList_->width(), most);
    if (grow > 0) {
        colourList_->setGeometry(colourList_->geometry().adjusted(-grow, 0, 0, 0));
        fontList_->setGeometry(fontList_->geometry().adjusted(0, 0, -grow, 0));
        colourLabel_->move(colourList_->x(), colourLabel_->y());
    }
}

// Takes away what chooseEntry() added for the document shown before.
void SettingsForm::forgetDocumentEntries() {
    if (const int shrink = colourList_->width() - colourListWidth_; shrink > 0) {
        colourList_->setGeometry(colourList_->geometry().adjusted(shrink, 0, 0, 0));
        fontList_->setGeometry(fontList_->geometry().adjusted(0, 0, shrink, 0));
        colourLabel_->move(colourList_->x(), colourLabel_->y());
    }
    for (ChoiceList* list : {fontList_, colourList_}) {
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
    const QString colourName = colourList_->value();
    const QColor named = QColor::fromString(colourName);
    const QColor foreground = findColour(colourName.toStdString()) < 0 && named.isValid()
                                  ? named
                                  : fromScreenColour(screenColour(colourName.toStdString()));
    const QColor silver = fromScreenColour(kSilverScreenColour);
    const QColor background = foreground == silver ? QColor(Qt::black) : silver;
    const std::pair<QLabel*, const QLineEdit*> samples[] = {{titleSample_, titleSizeEdit_},
                                                            {infoSample_, infoSizeEdit_}};
    for (const auto& [label, sizeEdit] : samples) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::Window, background);
        palette.setColor(QPalette::WindowText, foreground);
        label->setPalette(palette);
        QFont font = label->font();
        font.setFamily(fontList_->value());
        font.setPointSizeF(numericValue(sizeEdit->text().toStdString()));
        label->setFont(font);
        label->setText(fontList_->value());
    }
}

FolderViewSettings SettingsForm::settings() const {
    FolderViewSettings settings;
    settings.description = descriptionEdit_->text().toStdString();
    settings.backgroundImage = backgroundEdit_->text().toStdString();
    settings.lineImage = lineImageEdit_->text().toStdString();
    settings.soundFile = soundEdit_->text().toStdString();
    settings.loopForever = loopForeverButton_->isChecked();
    settings.loopCount = loopCountEdit_->text().toStdString();
    settings.fontFace = fontList_->value().toStdString();
    settings.textColour = colourList_->value().toStdString();
    settings.infoSize = infoSizeEdit_->text().toStdString();
    settings.titleSize = titleSizeEdit_->text().toStdString();
    return settings;
}

bool SettingsForm::showDocument(const WorkingDocument& document) {
    forgetDocumentEntries();
    ControlsTarget target(*this);
    if (!readSettings(document, target).complete) {
        return false;
    }
    updateSamples();
    for (ChoiceList* list : {fontList_, colourList_}) {
        if (QListWidgetItem* chosen = list->item(list->chosenRow())) {
            list->scrollToItem(chosen);
        }
    }
    return true;
}

QLineEdit* SettingsForm::pathBox(PathBox box) const {
    switch (box) {
        case PathBox::Sound:
            return soundEdit_;
        case PathBox::Background:
            return backgroundEdit_;
        case PathBox::LineImage:
            break;
    }
    return lineImageEdit_;
}

void SettingsForm::correctSize(QLineEdit* edit, std::string_view fallback) {
    const std::string text = edit->text().toStdString();
    const std::string corrected = correctedSize(text, fallback);
    if (corrected != text) {
        // Runs this handling once more, nested; the corrected text passes it unchanged.
        edit->setText(QString::fromStdString(corrected));
    }
    updateSamples();
}

void SettingsForm::correctLoopCount() {
    const std::string text = loopCountEdit_->text().toStdString();
    const std::string corrected = correctedLoopCount(text);
    if (corrected != text) {
        loopCountEdit_->setText(QString::fromStdString(corrected));
    }
}

}  // namespace tessivane
