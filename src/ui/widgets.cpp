// SPDX-License-Identifier: MIT
#include "ui/widgets.h"

#include <qdrawutil.h>
#include <QEvent>
#include <QFontMetrics>
#include <QPainter>
#include <QResizeEvent>
#include <QStyle>

namespace tessivane {

GroupBox::GroupBox(const QString& title, QWidget* parent) : QGroupBox(title, parent) {}

bool GroupBox::event(QEvent* event) {
    if (event->type() != QEvent::Shortcut) {
        return QGroupBox::event(event);
    }
    for (QWidget* w = nextInFocusChain(); w != this; w = w->nextInFocusChain()) {
        if (isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus &&
            w->isEnabled() && w->isVisibleTo(this)) {
            w->setFocus(Qt::ShortcutFocusReason);
            break;
        }
    }
    return true;
}

void GroupBox::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const QFontMetrics metrics = fontMetrics();
    const int lineY = metrics.height() / 2;

    // An etched line: a dark line with a light one beside it.
    qDrawShadeRect(&painter, rect().adjusted(0, lineY, 0, 0), palette(), true, 1);

    if (title().isEmpty()) {
        return;
    }
    // The title sits on the line, over a strip of the window's colour.
    const int indent = metrics.averageCharWidth();
    const QRect text = metrics.boundingRect(QRect(indent, 0, width(), metrics.height()),
                                            Qt::TextShowMnemonic, title());
    const QRect strip = text.adjusted(-2, 0, 2, 0);
    painter.fillRect(strip, palette().window());
    style()->drawItemText(&painter, strip, Qt::AlignCenter | Qt::TextShowMnemonic, palette(),
                          isEnabled(), title(), QPalette::WindowText);
}

ChoiceList::ChoiceList(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::itemSelectionChanged, this, &ChoiceList::followSelection);
}

int ChoiceList::chosenRow() const {
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void ChoiceList::followSelection() {
    const QModelIndexList rows = selectionModel()->selectedRows();
    const QModelIndex chosen = rows.isEmpty() ? QModelIndex() : rows.first();
    if (chosen != lastChoice_) {
        lastChoice_ = chosen;
        emit choiceChanged(chosen.row());
    }
}

QString ChoiceList::text() const {
    const QListWidgetItem* chosen = item(chosenRow());
    return chosen != nullptr ? chosen->text() : QString();
}

QString ChoiceList::value() const {
    const QListWidgetItem* chosen = item(chosenRow());
    if (chosen == nullptr) {
        return {};
    }
    const QVariant value = chosen->data(Qt::UserRole);
    return value.isValid() ? value.toString() : chosen->text();
}

QStringList ChoiceList::texts() const {
    QStringList result;
    result.reserve(count());
    for (int i = 0; i < count(); ++i) {
        result << item(i)->text();
    }
    return result;
}

QItemSelectionModel::SelectionFlags ChoiceList::selectionCommand(const QModelIndex& index,
                                                                 const QEvent* event) const {
    QItemSelectionModel::SelectionFlags flags = QListWidget::selectionCommand(index, event);
    if (flags.testFlag(QItemSelectionModel::Deselect) && index.isValid()) {
        return QItemSelectionModel::ClearAndSelect;
    }
    return flags;
}

RadioButton::RadioButton(const QString& text, QWidget* parent) : QRadioButton(text, parent) {
    connect(this, &QRadioButton::toggled, this, &RadioButton::keepGroupInTabOrder);
}

void RadioButton::focusInEvent(QFocusEvent* event) {
    QRadioButton::focusInEvent(event);
    keepGroupInTabOrder();
}

void RadioButton::keepGroupInTabOrder() {
    if (parentWidget() == nullptr) {
        return;
    }
    const QList<RadioButton*> group =
        parentWidget()->findChildren<RadioButton*>(Qt::FindDirectChildrenOnly);
    for (RadioButton* button : group) {
        button->setFocusPolicy(Qt::StrongFocus);
    }
}

ElidedLabel::ElidedLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    const int margin = fontMetrics().averageCharWidth() / 2;
    setContentsMargins(margin, 0, margin, 0);
}

void ElidedLabel::setFullText(const QString& text) {
    fullText_ = text;
    setToolTip(text);
    // A screen reader says the whole text, never the shortened one.
    setAccessibleName(text);
    updateShownText();
}

void ElidedLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    updateShownText();
}

void ElidedLabel::updateShownText() {
    setText(fontMetrics().elidedText(fullText_, Qt::ElideMiddle, contentsRect().width()));
}

}  // namespace tessivane
