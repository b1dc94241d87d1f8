// SPDX-License-Identifier: MIT
#include "ui/form_controls.h"

#include <qdrawutil.h>
#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QPainter>
#include <QResizeEvent>
#include <QStyle>
#include <algorithm>

namespace tessivane {

namespace {

// A label that shows its text shortened in the middle when it does not fit, and asks for no
// width of its own, so that a long path never widens the window.
class ElidedLabel : public QLabel {
public:
    explicit ElidedLabel(QWidget* parent) : QLabel(parent) {
        setTextFormat(Qt::PlainText);
        setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        const int margin = fontMetrics().averageCharWidth() / 2;
        setContentsMargins(margin, 0, margin, 0);
    }

    const QString& fullText() const { return full_; }
    void setFullText(const QString& text) {
        full_ = text;
        setToolTip(text);
        refresh();
    }

protected:
    void resizeEvent(QResizeEvent* event) override {
        QLabel::resizeEvent(event);
        refresh();
    }

private:
    void refresh() {
        setText(fontMetrics().elidedText(full_, Qt::ElideMiddle, contentsRect().width()));
    }

    QString full_;
};

}  // namespace

Frame::Frame(const QString& title, QWidget* parent) : QGroupBox(title, parent) {}

bool Frame::event(QEvent* event) {
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

void Frame::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const QFontMetrics metrics = fontMetrics();
    const int lineY = metrics.height() / 2;

    // An etched line: a dark line with a light one beside it.
    qDrawShadeRect(&painter, rect().adjusted(0, lineY, 0, 0), palette(), true, 1);

    if (title().isEmpty()) {
        return;
    }
    // The caption sits on the line, over a strip of the window's colour.
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

OptionButton::OptionButton(const QString& text, QWidget* parent) : QRadioButton(text, parent) {
    connect(this, &QRadioButton::toggled, this, &OptionButton::keepGroupInTabOrder);
}

void OptionButton::focusInEvent(QFocusEvent* event) {
    QRadioButton::focusInEvent(event);
    keepGroupInTabOrder();
}

void OptionButton::keepGroupInTabOrder() {
    if (parentWidget() == nullptr) {
        return;
    }
    const QList<OptionButton*> group =
        parentWidget()->findChildren<OptionButton*>(Qt::FindDirectChildrenOnly);
    for (OptionButton* button : group) {
        button->setFocusPolicy(Qt::StrongFocus);
    }
}

SimpleStatusBar::SimpleStatusBar(QWidget* parent)
    : QStatusBar(parent), label_(new ElidedLabel(this)) {
    setSizeGripEnabled(false);
    addWidget(label_, 1);
}

QString SimpleStatusBar::simpleText() const {
    return static_cast<const ElidedLabel*>(label_)->fullText();
}

void SimpleStatusBar::setSimpleText(const QString& text) {
    static_cast<ElidedLabel*>(label_)->setFullText(text);
}

QString plainFamilyName(const QString& family) {
    if (!family.endsWith(QLatin1Char(']'))) {
        return family;
    }
    const qsizetype open = family.lastIndexOf(QLatin1String(" ["));
    return open > 0 ? family.left(open) : family;
}

void sortIgnoringCase(QStringList& names) {
    std::stable_sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
}

}  // namespace tessivane
