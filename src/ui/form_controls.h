// SPDX-License-Identifier: MIT
#pragma once
// Small widgets that give the main window's controls the behaviour of a classic dialog form:
// frames whose access key enters them, single-choice lists that stay chosen, a one-text status
// bar, and the sorting of the font list.
#include <QGroupBox>
#include <QListWidget>
#include <QPersistentModelIndex>
#include <QRadioButton>
#include <QStatusBar>
#include <QString>
#include <QStringList>

class QLabel;

namespace tessivane {

// A framed group of controls, drawn the classic way: the frame's top line runs through the
// middle of the caption, so that controls placed just below the caption stay clear of it. Its
// access key moves the focus to the first control inside it, in tab order, that can take the
// focus. (A plain QGroupBox prefers a checked radio button or the child that had the focus last.)
class Frame : public QGroupBox {
    Q_OBJECT

public:
    explicit Frame(const QString& title, QWidget* parent = nullptr);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};

// A list from which one item is chosen: the selected item, whatever the keyboard's current item.
// Once an item is chosen the user cannot unchoose it (Ctrl+click keeps it chosen); code can still
// clear the choice with setCurrentRow(-1).
class ChoiceList : public QListWidget {
    Q_OBJECT

public:
    explicit ChoiceList(QWidget* parent = nullptr);

    // The chosen row, or -1.
    int chosenRow() const;
    // The chosen item's text, or the empty text when nothing is chosen.
    QString text() const;
    // Every item's text, in list order.
    QStringList texts() const;

signals:
    // The choice changed, by the user or by code. (Entering an empty-handed list with the keyboard
    // makes its first item current without choosing it, so currentRowChanged is not the same.)
    void choiceChanged(int row);

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;

private:
    void followSelection();

    QPersistentModelIndex lastChoice_;  // the item last announced by choiceChanged
};

// An option button of a group in which every button is a tab stop, chosen or not. (Qt otherwise
// leaves only the group's button that had the focus last in the tab order.)
class OptionButton : public QRadioButton {
    Q_OBJECT

public:
    explicit OptionButton(const QString& text, QWidget* parent = nullptr);

protected:
    void focusInEvent(QFocusEvent* event) override;

private:
    void keepGroupInTabOrder();
};

// A status bar in simple style: one text across the whole bar. The full text is kept as it was
// set; when the bar is too narrow it is shown shortened in the middle, with the whole text as
// its tool tip. Menu status tips never hide it.
class SimpleStatusBar : public QStatusBar {
    Q_OBJECT

public:
    explicit SimpleStatusBar(QWidget* parent = nullptr);

    QString simpleText() const;
    void setSimpleText(const QString& text);

private:
    QLabel* label_;
};

// A font family's name as the user knows it: Qt names a family that several foundries supply
// "Name [foundry]", and this gives "Name".
QString plainFamilyName(const QString& family);

// Sorts names alphabetically ignoring letter case; names that differ only in case keep their
// order.
void sortIgnoringCase(QStringList& names);

}  // namespace tessivane
