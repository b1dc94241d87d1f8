// SPDX-License-Identifier: MIT
#pragma once
// What a screen reader gets from a window, read in-process through QAccessible (no bus): every
// control that the tab key reaches must have a role and a name of its own that says something.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QRegularExpression>
#include <QSet>
#include <QWidget>

namespace tessivane::test {

// The controls that the tab key reaches, from the first, in tab order: each once.
inline QWidgetList tabStops(QWidget* window) {
    QWidgetList stops;
    for (QWidget* w = window->nextInFocusChain(); w != window; w = w->nextInFocusChain()) {
        if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(window) && w->isEnabled() &&
            !w->focusProxy() && !stops.contains(w)) {
            stops << w;
        }
    }
    return stops;
}

// Checks each tab stop's accessible name and role; answers the names in tab order.
inline QStringList expectSpeakableTabStops(QWidget* window) {
    QStringList names;
    const QRegularExpression words(QStringLiteral("\\w\\w"));  // more than "..." or one letter
    for (QWidget* w : tabStops(window)) {
        QAccessibleInterface* control = QAccessible::queryAccessibleInterface(w);
        const QString name = control ? control->text(QAccessible::Name) : QString();
        const QString what = w->objectName() + " (" + w->metaObject()->className() + ")";
        EXPECT_TRUE(name.contains(words))
            << what.toStdString() << " is called '" << name.toStdString() << "'";
        EXPECT_FALSE(names.contains(name)) << "two controls are called " << name.toStdString();
        // A plain client area passes only with content of its own (a browser's page) to walk.
        EXPECT_TRUE(control && control->role() != QAccessible::NoRole &&
                    (control->role() != QAccessible::Client || control->childCount() > 0))
            << what.toStdString() << " has no role of its own";
        names << name;
    }
    return names;
}

}  // namespace tessivane::test
