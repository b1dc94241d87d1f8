// SPDX-License-Identifier: MIT
#pragma once
// Small widgets that give the main window's controls the keyboard and look of a classic dialog:
// a group box whose access key enters it, a list whose choice stays made, radio buttons that are
// all tab stops, and a label that shortens a long text instead of growing. They know nothing of
// documents; the main window places them, names them and connects them.
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPersistentModelIndex>
#include <QRadioButton>
#include <QString>
#include <QStringList>

namespace tessivane {

// A group box drawn the classic way: the frame's top line runs through the middle of the title,
// so that controls placed just below the title stay clear of it. Its access key moves the focus
// to the first control inside it, in tab order, that can take the focus. (A plain QGroupBox
// prefers a checked radio button or the child that had the focus last.)
class GroupBox : public QGroupBox {
    Q_OBJECT

public:
    explicit GroupBox(const QString& title, QWidget* parent = nullptr);

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
    // The chosen item's value: what it holds as Qt::UserRole, or else its text.
    QString value() const;
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

// A radio button of a group in which every button is a tab stop, chosen or not. (Qt otherwise
// leaves only the group's button that had the focus last in the tab order.)
class RadioButton : public QRadioButton {
    Q_OBJECT

public:
    explicit RadioButton(const QString& text, QWidget* parent = nullptr);

protected:
    void focusInEvent(QFocusEvent* event) override;

private:
    void keepGroupInTabOrder();
};

// A one-line label that keeps its full text as set and shows it shortened in the middle when it
// does not fit, with the whole text as its tool tip and accessible name. It asks for no width of
// its own, so a long path never widens the window.
class ElidedLabel : public QLabel {
    Q_OBJECT

public:
    explicit ElidedLabel(QWidget* parent = nullptr);

    QString fullText() const { return fullText_; }
    void setFullText(const QString& text);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void updateShownText();

    QString fullText_;
};

// Gives the widget (or action) its object name, and returns it.
template <class W>
W* named(W* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

}  // namespace tessivane
