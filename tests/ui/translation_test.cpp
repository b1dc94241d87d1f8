// SPDX-License-Identifier: MIT
// The window under a pseudo-translation that wraps every text it translates in brackets: a text
// left without them never went through tr(). The user's data (fonts, colours, the boxes' values)
// and the program's name are not translated.
#include <gtest/gtest.h>

#include <QtTest>
#include <QtWidgets>

#include "app/messages.h"
#include "support/scripted_dialogs.h"
#include "ui/main_window.h"
#include "ui/widgets.h"

namespace tessivane::test {
namespace {

// Every text of the widget that a user sees or hears.
QStringList textsOf(const QWidget* w) {
    QStringList texts{w->accessibleName(), w->accessibleDescription(), w->toolTip()};
    if (const auto* label = qobject_cast<const QLabel*>(w);
        label && w->objectName() != "titleSample" && w->objectName() != "infoSample") {
        texts << label->text();
    } else if (const auto* button = qobject_cast<const QAbstractButton*>(w)) {
        texts << button->text();
    } else if (const auto* group = qobject_cast<const QGroupBox*>(w)) {
        texts << group->title();
    }
    for (const QAction* action : w->actions()) {
        texts << action->text() << action->toolTip();
        if (action->menu()) {
            texts << textsOf(action->menu());
        }
    }
    return texts;
}

TEST(PseudoTranslationTest, EveryTextTheWindowShowsIsTranslated) {
    QTranslator pseudo;
    ASSERT_TRUE(pseudo.load(QStringLiteral(TESSIVANE_PSEUDO_QM)));
    QCoreApplication::installTranslator(&pseudo);
    ScriptedDialogs dialogs;
    auto window = std::make_unique<MainWindow>(QString(), dialogs);
    QStringList texts;
    for (const QWidget* w : window->findChildren<QWidget*>()) {
        texts << textsOf(w);
    }
    dialogs.cancelDialog();
    QTest::mouseClick(window->findChild<QPushButton*>("Browse2"), Qt::LeftButton);
    ASSERT_FALSE(dialogs.shown().empty());
    const QStringList filter = dialogs.last().state.filter.split('|');
    texts << dialogs.last().state.title;
    for (qsizetype i = 0; i < filter.size(); i += 2) {
        texts << filter[i];  // the descriptions; the patterns are not words
    }
    for (const Message& message : {messages::information(), messages::saveChanges("x.htt")}) {
        texts << message.title << message.text;
    }
    const QRegularExpression marked(QStringLiteral(R"(^\[.*\]$|^[^[:alpha:]]*$)"),
                                    QRegularExpression::DotMatchesEverythingOption);
    QStringList unmarked;
    for (const QString& text : std::as_const(texts)) {
        if (!marked.match(text).hasMatch()) {
            unmarked << text;
        }
    }
    EXPECT_EQ(unmarked.join(" | ").toStdString(), "") << texts.size() << " texts read";
    window.reset();
    QCoreApplication::removeTranslator(&pseudo);
}

}  // namespace
}  // namespace tessivane::test
