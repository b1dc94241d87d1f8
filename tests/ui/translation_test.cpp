// SPDX-License-Identifier: MIT
// The window under a pseudo-translation that wraps every text it translates in brackets: a text
// left without them never went through tr(). The user's data (fonts, colours, the boxes' values)
// and the program's name are not translated.
#include <gtest/gtest.h>

#include <QtTest>
#include <QtWidgets>

#include "app/messages.h"
#include "support/pseudo_translation.h"
#include "support/scripted_dialogs.h"
#include "ui/main_window.h"
#include "ui/widgets.h"

namespace tessivane::test {
namespace {

TEST(PseudoTranslationTest, EveryTextTheWindowShowsIsTranslated) {
    QTranslator pseudo;
    ASSERT_TRUE(pseudo.load(QStringLiteral(TESSIVANE_PSEUDO_QM)));
    QCoreApplication::installTranslator(&pseudo);
    ScriptedDialogs dialogs;
    auto window = std::make_unique<MainWindow>(QString(), dialogs);
    QStringList texts;
    for (const QWidget* w : window->findChildren<QWidget*>()) {
        texts << textsOf(w, {"titleSample", "infoSample"});
    }
    dialogs.cancelDialog();
    QTest::mouseClick(window->findChild<QPushButton*>("Browse2"), Qt::LeftButton);
    ASSERT_FALSE(dialogs.shown().empty());
    texts << dialogs.last().state.title << dialogs.last().state.nameFilters;
    for (const Message& message : {messages::information(), messages::saveChanges("x.htt")}) {
        texts << message.title << message.text;
    }
    EXPECT_EQ(unmarked(texts), "") << texts.size() << " texts read";
    window.reset();
    QCoreApplication::removeTranslator(&pseudo);
}

}  // namespace
}  // namespace tessivane::test
