// SPDX-License-Identifier: MIT
#pragma once
// The form of File > Use for Folder: what will change, and the look the folder is to have beside
// its page (document/desktop_ini.h FolderLook), each part optional: a comment, an icon file with
// its index, the list's picture and the file names' colour, one of the sixteen names or any
// colour from Qt's colour dialog.
#include <QDialog>
#include <QString>
#include <optional>

#include "document/desktop_ini.h"

class QComboBox;
class QDialogButtonBox;
class QFormLayout;
class QLabel;
class QLayout;
class QLineEdit;
class QSpinBox;

namespace tessivane {

class FolderLookDialog : public QDialog {
    Q_OBJECT

public:
    // folder is where the look's relative names are, and where the file choosers start.
    FolderLookDialog(const QString& title, const QString& question, const FolderLook& initial,
                     const QString& folder, QWidget* parent = nullptr);

    // The look as the form holds it: an index only with an icon file, the colour as 0x00BBGGRR.
    FolderLook look() const;

private:
    QLayout* createIconRow(const FolderLook& initial);
    QLayout* createPictureRow(const FolderLook& initial);
    QLayout* createColourRow(const FolderLook& initial);
    void createLayout(const QString& question, QFormLayout* form);
    static void addRow(QFormLayout* form, const QString& label, QLayout* row, QWidget* buddy);
    void chooseFile(QLineEdit* field, const QString& title, const QStringList& nameFilters);
    void chooseColour();
    void showColour();

    QString folder_;
    QLineEdit* comment_ = nullptr;
    QLineEdit* icon_ = nullptr;
    QSpinBox* iconIndex_ = nullptr;
    QLineEdit* listPicture_ = nullptr;
    QComboBox* textColour_ = nullptr;
    QLabel* swatch_ = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
};

// The colour the text names as "#RRGGBB": one of the sixteen names (any letter case) or
// "#RRGGBB" itself; "" for the empty text, nothing for any other.
std::optional<QString> rgbOfColourText(const QString& text);

}  // namespace tessivane
