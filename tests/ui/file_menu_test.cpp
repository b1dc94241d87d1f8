// The File and Help menus in the window: each item and shortcut reaches its command, and a
// document makes the whole round trip from the controls to disk and back.
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QPixmap>

#include "window_fixture.h"

namespace tessivane::testing {
namespace {

using Answer = Dialogs::Answer;
using Kind = ScriptedDialogs::Shown::Kind;

struct MenuCommand {
    const char* item;
    const char* keys;
    Kind kind;  // what the command shows first
    const char* title;
    std::function<void(ScriptedDialogs&)> script;  // the answers that end it
};

const MenuCommand kMenuCommands[] = {
    {"mnuNew", "Ctrl+N", Kind::Message, "Save Changes",
     [](ScriptedDialogs& d) { d.answer(Answer::Cancel); }},
    {"mnuOpen", "Ctrl+O", Kind::Message, "Save Changes",
     [](ScriptedDialogs& d) { d.answer(Answer::Cancel); }},
    // The template's placeholder files do not exist, so both saves stop at the first of them.
    {"mnuSave", "Ctrl+S", Kind::Message, "File Does Not Exist",
     [](ScriptedDialogs& d) { d.answer(Answer::Ok); }},
    {"mnuAs", "F2", Kind::Message, "File Does Not Exist",
     [](ScriptedDialogs& d) { d.answer(Answer::Ok); }},
    {"mnuExit", "F4", Kind::Message, "Save Changes",
     [](ScriptedDialogs& d) { d.answer(Answer::Cancel); }},
    {"mnuInfo", "F1", Kind::Message, "Information",
     [](ScriptedDialogs& d) { d.answer(Answer::Ok); }},
    {"mnuAbout", "Ctrl+A", Kind::Message, "About",
     [](ScriptedDialogs& d) { d.answer(Answer::Ok); }},
};

class MenuCommandTest : public WindowTest, public ::testing::WithParamInterface<MenuCommand> {};

TEST_P(MenuCommandTest, MenuItemReachesItsCommand) {
    start();
    const MenuCommand& c = GetParam();
    c.script(dialogs);
    control<QAction>(c.item)->trigger();
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.last().kind, c.kind);
    EXPECT_EQ(dialogs.last().title, c.title);
}

// The shortcuts work wherever the focus is, also in a text box, which would otherwise keep
// Ctrl+A for selecting its text.
TEST_P(MenuCommandTest, ShortcutReachesItsCommandFromEveryKindOfControl) {
    startShown();
    const MenuCommand& c = GetParam();
    for (const char* focused : {"Fnts", "Title", "Browse1"}) {
        SCOPED_TRACE(focused);
        dialogs.clearShown();
        control(focused)->setFocus(Qt::OtherFocusReason);
        c.script(dialogs);
        QTest::keySequence(QApplication::focusWidget(), QKeySequence(QString::fromLatin1(c.keys)));
        ASSERT_EQ(dialogs.shown().size(), 1u);
        EXPECT_EQ(dialogs.last().title, c.title);
    }
    EXPECT_TRUE(window().isVisible());
}

INSTANTIATE_TEST_SUITE_P(Items, MenuCommandTest, ::testing::ValuesIn(kMenuCommands),
                         [](const auto& info) { return std::string(info.param.item); });

TEST_F(WindowTest, InformationTextHasThreeCarriageReturnsAndNoLineFeed) {
    start();
    dialogs.answer(Answer::Ok);
    window().mnuInfo_Click();
    const QString shown = dialogs.last().text;
    EXPECT_EQ(shown.count(QLatin1Char('\r')), 3);
    EXPECT_EQ(shown.count(QLatin1Char('\n')), 0);
    EXPECT_EQ(dialogs.last().icon, Dialogs::Icon::Information);
    EXPECT_EQ(dialogs.last().buttons, Dialogs::Buttons::Ok);

    dialogs.answer(Answer::Ok);
    window().mnuAbout_Click();
    EXPECT_TRUE(dialogs.last().text.contains("the Tessivane authors"));
    EXPECT_TRUE(dialogs.last().text.contains("2026"));
}

TEST_F(WindowTest, HelpMessagesChangeNothing) {
    start();
    const FolderViewSettings before = window().currentSettings();
    dialogs.answer(Answer::Ok);
    dialogs.answer(Answer::Ok);
    window().mnuInfo_Click();
    window().mnuAbout_Click();
    EXPECT_EQ(window().currentSettings(), before);
    EXPECT_EQ(window().currentFile(), "HyperText Template1.htt");
}

// Controls set to values different from the template's, referring to files that exist.
void editEverything(WindowTest& t) {
    const QString sound = t.file("loop.wav");
    const QString background = t.file("panel.gif");
    const QString line = t.file("line.gif");
    t.box("Info")->setText("12.5");
    t.box("Title")->setText("18");
    ChoiceList* fonts = t.list("Fnts");
    fonts->setCurrentRow(fonts->count() - 1);
    t.list("ColSel")->setCurrentRow(t.list("ColSel")->texts().indexOf("Grey"));
    t.box("Sound")->setText(sound);
    t.option("Number")->setChecked(true);
    t.box("txtLoop")->setText("3");
    t.box("Bck")->setText(background);
    t.box("Img")->setText(line);
    t.box("Fol")->setText("%THISDIRPATH% — Ünïcode");
}

TEST_F(WindowTest, DocumentMakesTheRoundTripThroughDiskAndBack) {
    start();
    editEverything(*this);
    const FolderViewSettings edited = window().currentSettings();
    const QString path = temp.path("round trip.htt");

    dialogs.choose(path);
    window().mnuSave_Click();
    ASSERT_EQ(dialogs.last().kind, Kind::Save);
    EXPECT_EQ(dialogs.last().title, "Save");
    EXPECT_EQ(dialogs.last().state.fileName, "HyperText Template1.htt");
    EXPECT_EQ(window().currentFile(), path);
    const QByteArray written = readBytes(path);
    EXPECT_TRUE(written.contains("color: gray}"));
    EXPECT_TRUE(written.contains("body  {font: 12.5pt/18pt "));

    // A second Save writes in place without a dialog.
    dialogs.clearShown();
    window().mnuSave_Click();
    EXPECT_TRUE(dialogs.shown().empty());

    dialogs.answer(Answer::No);
    window().mnuNew_Click();
    EXPECT_EQ(window().currentFile(), "HyperText Template2.htt");
    EXPECT_NE(window().currentSettings(), edited);

    openThroughMenu(path);
    EXPECT_EQ(window().currentSettings(), edited);
    EXPECT_EQ(window().currentFile(), path);
    EXPECT_TRUE(box("txtLoop")->isEnabled());
    EXPECT_EQ(control<QLabel>("titleSample")->text(), list("Fnts")->text());
}

TEST_F(WindowTest, NewNumbersUntitledDocumentsAndOpenKeepsTheCount) {
    start();
    dialogs.answer(Answer::No);
    window().mnuNew_Click();
    EXPECT_EQ(window().currentFile(), "HyperText Template2.htt");
    dialogs.answer(Answer::No);
    window().mnuNew_Click();
    EXPECT_EQ(window().currentFile(), "HyperText Template3.htt");

    openThroughMenu(file("ours.htt", templateBytes()));
    dialogs.answer(Answer::No);
    window().mnuNew_Click();
    EXPECT_EQ(window().currentFile(), "HyperText Template4.htt");
}

TEST_F(WindowTest, NewAfterOpenReturnsToTheTemplateAndDisablesTheLoopCount) {
    start();
    openThroughMenu(
        file("ours.htt", templateBytes({{28, "<bgsound src=\"file://s.wav\"loop=\"4\" > "}})));
    ASSERT_TRUE(box("txtLoop")->isEnabled());
    dialogs.answer(Answer::No);
    window().mnuNew_Click();
    EXPECT_TRUE(option("optLoop")->isChecked());
    EXPECT_FALSE(box("txtLoop")->isEnabled());
    EXPECT_EQ(text("txtLoop"), "4") << "the loop count keeps its text";
    EXPECT_EQ(text("Sound"), "C:\\windows\\media\\Nothing.wav");
}

TEST_F(WindowTest, SaveAsLeavesTheCurrentFileAsItWas) {
    start();
    editEverything(*this);
    const QString copy = temp.path("copy.htt");
    dialogs.choose(copy);
    window().mnuAs_Click();
    EXPECT_EQ(dialogs.last().title, "Save As");
    EXPECT_FALSE(readBytes(copy).isEmpty());
    EXPECT_EQ(window().currentFile(), "HyperText Template1.htt");
}

TEST_F(WindowTest, OpenRefusesAForeignFileAndChangesNothing) {
    start();
    box("Fol")->setText("mine");
    const QString foreign = file("folder.htt", "<html>\r\n<head>\r\n</head>\r\n");
    dialogs.answer(Answer::No);
    dialogs.choose(foreign);
    dialogs.answer(Answer::Ok);
    window().mnuOpen_Click();
    EXPECT_EQ(dialogs.last().title, "File Load Error");
    EXPECT_EQ(dialogs.last().icon, Dialogs::Icon::Exclamation);
    EXPECT_EQ(dialogs.last().text, "The file '" + foreign +
                                       "' is not a currently supported or is corrupted.  Make a "
                                       "new file with this program.");
    EXPECT_EQ(text("Fol"), "mine");
    EXPECT_EQ(window().currentFile(), "HyperText Template1.htt");
}

TEST_F(WindowTest, QuestionNamesTheCurrentFileAndCancelKeepsEverything) {
    start();
    box("Fol")->setText("mine");
    dialogs.answer(Answer::Cancel);
    window().mnuNew_Click();
    EXPECT_EQ(dialogs.last().title, "Save Changes");
    EXPECT_EQ(dialogs.last().text, "Save changes to 'HyperText Template1.htt'?");
    EXPECT_EQ(dialogs.last().icon, Dialogs::Icon::Question);
    EXPECT_EQ(dialogs.last().buttons, Dialogs::Buttons::YesNoCancel);
    EXPECT_EQ(text("Fol"), "mine");
    EXPECT_EQ(window().currentFile(), "HyperText Template1.htt");

    dialogs.answer(Answer::Cancel);
    EXPECT_EQ(window().SaveQ(), FileCommands::kStop);
    dialogs.answer(Answer::No);
    EXPECT_EQ(window().SaveQ(), FileCommands::kGoOn);
}

}  // namespace
}  // namespace tessivane::testing
