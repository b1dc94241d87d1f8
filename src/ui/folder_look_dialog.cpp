// SPDX-License-Identifier: MIT
#include "ui/folder_look_dialog.h"

#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/dialogs.h"
#include "document/colours.h"

namespace tessivane {

namespace {

// The list name's colour as "#RRGGBB" (screen colours are 0x00BBGGRR).
QString rgbOfName(std::string_view name) {
    const std::uint32_t bgr = screenColour(name);
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF))
        .name()
        .toUpper();
}

// A small square of the colour, for the list and beside the field.
QPixmap swatchOf(const QString& rgb, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(QColor(rgb));
    return pixmap;
}

// The text the colour field shows for a colour of Desktop.ini: its list name when it is one of
// the sixteen, else "#RRGGBB"; a value that is no colour as it is.
QString colourText(const std::string& iniColour) {
    const auto rgb = rgbFromIniColour(iniColour);
    if (!rgb) {
        return QString::fromStdString(iniColour);
    }
    for (const std::string_view name : kColourNames) {
        if (rgbOfName(name) == QString::fromStdString(*rgb)) {
            return QString::fromLatin1(name);
        }
    }
    return QString::fromStdString(*rgb);
}

// Where a file chooser starts: at the field's file where it names one (relative names are the
// folder's), else in the folder.
QString startOf(const QString& text, const QString& folder) {
    const QFileInfo file(QDir(folder), text);
    return !text.isEmpty() && file.exists() ? file.absoluteFilePath() : folder;
}

}  // namespace

std::optional<QString> rgbOfColourText(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) {
        return QString();
    }
    const auto colour = iniColourFromText(trimmed.toStdString());
    const auto rgb = colour ? rgbFromIniColour(*colour) : std::nullopt;
    return rgb ? std::make_optional(QString::fromStdString(*rgb)) : std::nullopt;
}

FolderLookDialog::FolderLookDialog(const QString& title, const QString& question,
                                   const FolderLook& initial, const QString& folder,
                                   QWidget* parent)
    : QDialog(parent), folder_(folder) {
    setObjectName(QStringLiteral("folderLookDialog"));
    setWindowTitle(title);

    comment_ = new QLineEdit(QString::fromStdString(initial.comment), this);
    comment_->setObjectName(QStringLiteral("lookComment"));
    auto* form = new QFormLayout;
    form->addRow(tr("&Comment:"), comment_);
    addRow(form, tr("&Icon, index:"), createIconRow(initial), icon_);
    addRow(form, tr("List &picture:"), createPictureRow(initial), listPicture_);
    addRow(form, tr("File names' co&lour:"), createColourRow(initial), textColour_);
    createLayout(question, form);
    showColour();
}

void FolderLookDialog::addRow(QFormLayout* form, const QString& label, QLayout* row,
                              QWidget* buddy) {
    form->addRow(label, row);
    // The row's label names its first field for the keyboard and for screen readers.
    static_cast<QLabel*>(form->labelForField(row))->setBuddy(buddy);
}

QLayout* FolderLookDialog::createIconRow(const FolderLook& initial) {
    icon_ = new QLineEdit(QString::fromStdString(initial.iconFile), this);
    icon_->setObjectName(QStringLiteral("lookIcon"));
    iconIndex_ = new QSpinBox(this);
    iconIndex_->setObjectName(QStringLiteral("lookIconIndex"));
    // The index Desktop.ini can hold: up to nine digits, negative for a resource id.
    iconIndex_->setRange(-999999999, 999999999);
    iconIndex_->setValue(QString::fromStdString(initial.iconIndex).toInt());
    iconIndex_->setAccessibleName(tr("Icon index"));
    auto* browse = new QPushButton(tr("Bro&wse..."), this);
    browse->setObjectName(QStringLiteral("lookIconBrowse"));
    connect(browse, &QPushButton::clicked, this,
            [this] { chooseFile(icon_, tr("Icon"), filters::icon()); });
    auto* row = new QHBoxLayout;
    row->addWidget(icon_, 1);
    row->addWidget(iconIndex_);
    row->addWidget(browse);
    return row;
}

QLayout* FolderLookDialog::createPictureRow(const FolderLook& initial) {
    listPicture_ = new QLineEdit(QString::fromStdString(initial.listPicture), this);
    listPicture_->setObjectName(QStringLiteral("lookListPicture"));
    auto* browse = new QPushButton(tr("Brow&se..."), this);
    browse->setObjectName(QStringLiteral("lookListPictureBrowse"));
    connect(browse, &QPushButton::clicked, this,
            [this] { chooseFile(listPicture_, tr("List Picture"), filters::image()); });
    auto* row = new QHBoxLayout;
    row->addWidget(listPicture_, 1);
    row->addWidget(browse);
    return row;
}

// The sixteen names with their colour, an empty entry for none, and any "#RRGGBB" typed or chosen
// in the colour dialog.
QLayout* FolderLookDialog::createColourRow(const FolderLook& initial) {
    textColour_ = new QComboBox(this);
    textColour_->setObjectName(QStringLiteral("lookTextColour"));
    textColour_->setEditable(true);
    textColour_->setInsertPolicy(QComboBox::NoInsert);
    const int swatchSize = fontMetrics().height() - 2;
    textColour_->addItem(QString());
    for (const std::string_view name : kColourNames) {
        textColour_->addItem(swatchOf(rgbOfName(name), swatchSize), QString::fromLatin1(name));
    }
    textColour_->setCurrentText(colourText(initial.listTextColour));
    connect(textColour_, &QComboBox::currentTextChanged, this, &FolderLookDialog::showColour);
    swatch_ = new QLabel(this);
    swatch_->setObjectName(QStringLiteral("lookTextColourSwatch"));
    swatch_->setFixedSize(swatchSize + 2, swatchSize + 2);
    swatch_->setFrameShape(QFrame::Box);
    auto* choose = new QPushButton(tr("&Other..."), this);
    choose->setObjectName(QStringLiteral("lookTextColourChoose"));
    connect(choose, &QPushButton::clicked, this, &FolderLookDialog::chooseColour);
    auto* row = new QHBoxLayout;
    row->addWidget(swatch_);
    row->addWidget(textColour_, 1);
    row->addWidget(choose);
    return row;
}

// The question above the form, a note under it, and OK and Cancel.
void FolderLookDialog::createLayout(const QString& question, QFormLayout* form) {
    auto* text = new QLabel(this);
    text->setObjectName(QStringLiteral("lookQuestion"));
    text->setTextFormat(Qt::PlainText);
    text->setWordWrap(true);
    QString lines = question;
    lines.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), '\n');
    text->setText(lines);
    auto* note = new QLabel(
        tr("Each part is optional. One you empty takes out what an earlier use set there."), this);
    note->setWordWrap(true);
    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addSpacing(fontMetrics().height() / 2);
    layout->addLayout(form);
    layout->addWidget(note);
    layout->addWidget(buttons_);
    setMinimumWidth(fontMetrics().averageCharWidth() * 70);
}

FolderLook FolderLookDialog::look() const {
    FolderLook look;
    look.comment = comment_->text().toStdString();
    look.iconFile = icon_->text().trimmed().toStdString();
    if (!look.iconFile.empty()) {
        look.iconIndex = QString::number(iconIndex_->value()).toStdString();
    }
    look.listPicture = listPicture_->text().trimmed().toStdString();
    if (const auto rgb = rgbOfColourText(textColour_->currentText()); rgb && !rgb->isEmpty()) {
        look.listTextColour = iniColourFromRgb(rgb->toStdString()).value_or(std::string());
    }
    return look;
}

void FolderLookDialog::chooseFile(QLineEdit* field, const QString& title,
                                  const QStringList& nameFilters) {
    const QString chosen = QFileDialog::getOpenFileName(
        this, title, startOf(field->text(), folder_), nameFilters.join(QLatin1String(";;")),
        nullptr, QFileDialog::DontUseNativeDialog);
    if (!chosen.isEmpty()) {
        field->setText(QDir::toNativeSeparators(chosen));
    }
}

void FolderLookDialog::chooseColour() {
    const auto rgb = rgbOfColourText(textColour_->currentText());
    const QColor chosen =
        QColorDialog::getColor(rgb && !rgb->isEmpty() ? QColor(*rgb) : QColor(Qt::black), this,
                               tr("File Names' Colour"), QColorDialog::DontUseNativeDialog);
    if (chosen.isValid()) {
        textColour_->setCurrentText(
            colourText(iniColourFromRgb(chosen.name().toStdString()).value_or(std::string())));
    }
}

// The swatch shows the colour the field names, and OK waits for a colour it can write.
void FolderLookDialog::showColour() {
    const auto rgb = rgbOfColourText(textColour_->currentText());
    if (rgb && !rgb->isEmpty()) {
        swatch_->setPixmap(swatchOf(*rgb, swatch_->width() - 2));
        swatch_->setToolTip(*rgb);
    } else {
        swatch_->clear();
        swatch_->setToolTip(rgb ? tr("None") : tr("Not a colour: use a name or #RRGGBB"));
    }
    buttons_->button(QDialogButtonBox::Ok)->setEnabled(rgb.has_value());
}

}  // namespace tessivane
