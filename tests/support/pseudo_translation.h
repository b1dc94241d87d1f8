// SPDX-License-Identifier: MIT
#pragma once
// A window's texts under the pseudo-translation, which wraps every text it translates in
// brackets: a text left without them never went through tr().
#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QRegularExpression>
#include <QStringList>
#include <QWidget>

namespace tessivane::test {

// Every text of the widget that a user sees or hears; `skipLabels` names labels that show user
// data.
inline QStringList textsOf(const QWidget* w, const QStringList& skipLabels = {}) {
    QStringList texts{w->accessibleName(), w->accessibleDescription(), w->toolTip()};
    if (const auto* label = qobject_cast<const QLabel*>(w)) {
        if (!skipLabels.contains(w->objectName())) {
            texts << label->text();
        }
    } else if (const auto* button = qobject_cast<const QAbstractButton*>(w)) {
        texts << button->text();
    } else if (const auto* group = qobject_cast<const QGroupBox*>(w)) {
        texts << group->title();
    }
    for (const QAction* action : w->actions()) {
        texts << action->text() << action->toolTip();
        if (action->menu()) {
            texts << textsOf(action->menu(), skipLabels);
        }
    }
    return texts;
}

// The texts that hold words but no brackets around them, joined for a test's message.
inline std::string unmarked(const QStringList& texts) {
    const QRegularExpression marked(QStringLiteral(R"(^\[.*\]$|^[^[:alpha:]]*$)"),
                                    QRegularExpression::DotMatchesEverythingOption);
    QStringList left;
    for (const QString& text : texts) {
        if (!marked.match(text).hasMatch()) {
            left << text;
        }
    }
    return left.join(" | ").toStdString();
}

}  // namespace tessivane::test
