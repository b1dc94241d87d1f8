// SPDX-License-Identifier: MIT
// The File and Help menus in the window: each shortcut reaches its own command, and a document
// makes the whole round trip from the controls to disk and back. (What each command does is proven
// against a plain form in tests/app; Exit is tried with the closing cases.)
#include <gtest/gtest.h>

#include "window_fixture.h"

namespace tessivane::testing {
namespace {

using Answer = Dialogs::Answer;

struct MenuCommand {
    const char* item;
    const char* keys;
    std::function<void(ScriptedDialogs&)> script;  // the answers that end it
    QStringList titles;                            // the dialogs it shows, in order
    bool renames;                                  // whether the current file changes
};

const MenuCommand kMenuCommands[] = {
    {"New", "Ctrl+N", [](ScriptedDialogs& d) { d.answer(Answer::No); }, {"Save Changes"}, true},
    {"Open",
     "Ctrl+O",
     [](ScriptedDialogs& d) {
         d.answer(Answer::No);
         d.cancelDialog();
     },
     {"Save Changes", "Open"},
     false},
    {"Save", "Ctrl+S", [](ScriptedDialogs& d) { d.cancelDialog(); }, {"Save"}, false},
    {"SaveAs", "F2", [](ScriptedDialogs& d) { d.cancelDialog(); }, {"Save As"}, false},
    {"Information", "F1", [](ScriptedDialogs& d) { d.answer(Answer::Ok); }, {"Information"}, false},
    {"About", "Ctrl+A", [](ScriptedDialogs& d) { d.answer(Answer::Ok); }, {"About"}, false},
};

class MenuCommandTest : public WindowTest, public ::testing::WithParamInterface<MenuCommand> {};

// The shortcuts work wherever the focus is, also in a text box, which would otherwise keep Ctrl+A
// for selecting its text.
TEST_P(MenuCommandTest, ShortcutReachesItsCommandFromEveryKindOfControl) {
    startShown();
    // Referenced files that exist, so that saving gets as far as its dialog.
    for (const char* path : {"Sound", "Bck", "Img"}) {
        box(path)->setText(file(QString(path) + ".gif"));
    }
    const MenuCommand& c = GetParam();
    for (const char* focused : {"Fnts", "Title", "Browse1"}) {
        SCOPED_TRACE(focused);
        dialogs.clearShown();
        const QString before = window().currentFile();
        control(focused)->setFocus(Qt::OtherFocusReason);
        c.script(dialogs);
        QTest::keySequence(QApplication::focusWidget(), QKeySequence(QString::fromLatin1(c.keys)));
        QStringList titles;
        for (const auto& shown : dialogs.shown()) {
            titles << shown.title;
        }
        EXPECT_EQ(titles, c.titles);
        EXPECT_EQ(window().currentFile() != before, c.renames);
    }
}

INSTANTIATE_TEST_SUITE_P(Items, MenuCommandTest, ::testing::ValuesIn(kMenuCommands),
                         [](const auto& info) { return std::string(info.param.item); });

// Every control's value goes out to the file and comes back from it.
TEST_F(WindowTest, DocumentMakesTheRoundTripThroughDiskAndBack) {
    start();
    box("Info")->setText("12.5");
    box("Title")->setText("18");
    list("Fnts")->setCurrentRow(list("Fnts")->count() - 1);
    list("ColSel")->setCurrentRow(list("ColSel")->texts().indexOf("Grey"));
    box("Sound")->setText(file("loop.wav"));
    option("Number")->setChecked(true);
    box("txtLoop")->setText("3");
    box("Bck")->setText(file("panel.gif"));
    box("Img")->setText(file("line.gif"));
    box("Fol")->setText("  %THISDIRPATH% — Ünïcode");
    const FolderViewSettings edited = window().currentSettings();
    const QString path = temp.path("round trip.htt");
    dialogs.choose(path);
    window().mnuSave_Click();
    EXPECT_EQ(window().currentFile(), path);

    dialogs.answer(Answer::No);
    window().mnuNew_Click();
    EXPECT_EQ(window().currentFile(), "HyperText Template2.htt");
    EXPECT_NE(window().currentSettings(), edited);
    expectStates("optLoop=on|txtLoop=3 (disabled)");

    openThroughMenu(path);
    EXPECT_EQ(window().currentSettings(), edited);
    EXPECT_EQ(window().currentFile(), path);
    EXPECT_EQ(state("txtLoop"), "3");
}

}  // namespace
}  // namespace tessivane::testing
