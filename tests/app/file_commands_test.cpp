// SPDX-License-Identifier: MIT
// The file commands against a plain form and scripted dialogs: what each answer and failure
// leaves on disk, in the document and in the current file.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>

#include "app/file_commands.h"
#include "app/startup.h"
#include "document/line_map.h"
#include "document/reader.h"
#include "document/template.h"
#include "support/plain_form.h"

namespace tessivane {
namespace {

using Answer = Dialogs::Answer;
using Kind = testing::ScriptedDialogs::Shown::Kind;
using testing::readBytes;
using testing::TempDir;

class FileCommandsTest : public testing::CommandsTest {
protected:
    void SetUp() override {
        previousFolder_ = QDir::currentPath();
        QDir::setCurrent(dir.root());  // placeholder names resolve here
        CommandsTest::SetUp();
    }
    void TearDown() override {
        QDir::setCurrent(previousFolder_);
        CommandsTest::TearDown();
    }
    int folderCount() const { return int(QDir(dir.root()).entryList(QDir::Files).size()); }

private:
    QString previousFolder_;
};

TEST_F(FileCommandsTest, NewDocumentSavesThroughTheDialogThenInPlace) {
    ASSERT_EQ(form.file, "HyperText Template1.htt");
    const QString target = dir.path("mine.htt");
    dialogs.choose(target);
    form.settings.description = "first";
    commands.save();
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.last().kind, Kind::Save);
    EXPECT_EQ(dialogs.last().title, "Save");
    EXPECT_EQ(dialogs.last().state.filter, "HyperText Template (*.htt)|*.htt");
    EXPECT_EQ(dialogs.last().state.fileName, "HyperText Template1.htt");
    EXPECT_EQ(form.file, target);
    EXPECT_TRUE(readBytes(target).contains("\r\nfirst\r\n"));

    form.settings.description = "second";
    commands.save();  // the file exists now: no dialog
    EXPECT_EQ(dialogs.shown().size(), 1u);
    EXPECT_TRUE(readBytes(target).contains("\r\nsecond\r\n"));
}

TEST_F(FileCommandsTest, PlaceholderNameIsRelativeToTheCurrentFolder) {
    const QString existing = dir.file("HyperText Template1.htt", "someone else's\r\n");
    commands.save();  // no dialog: the placeholder names an existing file here
    EXPECT_TRUE(dialogs.shown().empty());
    EXPECT_EQ(readBytes(existing).count("\r\n"), 344);
    EXPECT_EQ(form.file, "HyperText Template1.htt");
}

TEST_F(FileCommandsTest, SaveAsLeavesTheCurrentFileAsItWas) {
    const QString copy = dir.path("copy.htt");
    dialogs.choose(copy);
    commands.saveAs();
    EXPECT_EQ(dialogs.last().title, "Save As");
    EXPECT_TRUE(QFile::exists(copy));
    EXPECT_EQ(form.file, "HyperText Template1.htt");

    dialogs.choose(dir.path("later.htt"));  // Save still refers to the old, absent name
    commands.save();
    EXPECT_EQ(dialogs.last().state.fileName, "HyperText Template1.htt");
    EXPECT_EQ(form.file, dir.path("later.htt"));
}

TEST_F(FileCommandsTest, QuestionAnswers) {
    // No: nothing written, go on. Asked even though nothing was edited.
    dialogs.answer(Answer::No);
    EXPECT_TRUE(commands.maybeSave());
    EXPECT_EQ(dialogs.last().title, "Save Changes");
    EXPECT_EQ(dialogs.last().text, "Save changes to 'HyperText Template1.htt'?");
    EXPECT_EQ(dialogs.last().icon, Dialogs::Icon::Question);
    EXPECT_EQ(dialogs.last().buttons, Dialogs::Buttons::YesNoCancel);

    dialogs.answer(Answer::Cancel);
    EXPECT_FALSE(commands.maybeSave());

    // Yes, then a cancelled dialog: stop, nothing written.
    dialogs.answer(Answer::Yes);
    dialogs.cancelDialog();
    EXPECT_FALSE(commands.maybeSave());

    // Yes through the dialog: written, go on, and the current file stays the placeholder.
    dialogs.answer(Answer::Yes);
    dialogs.choose(dir.path("asked.htt"));
    EXPECT_TRUE(commands.maybeSave());
    EXPECT_TRUE(QFile::exists(dir.path("asked.htt")));
    EXPECT_EQ(form.file, "HyperText Template1.htt");
    EXPECT_EQ(folderCount(), 4);
}

TEST_F(FileCommandsTest, YesWithAMissingImageStops) {
    form.settings.lineImage = dir.path("gone.gif").toStdString();
    dialogs.answer(Answer::Yes);
    dialogs.answer(Answer::Ok);
    EXPECT_FALSE(commands.maybeSave());
    EXPECT_EQ(dialogs.last().title, "File Does Not Exist");
    EXPECT_EQ(dialogs.last().icon, Dialogs::Icon::Exclamation);
    EXPECT_EQ(dialogs.last().text, "The file '" + dir.path("gone.gif") +
                                       "' does not exist.  Please specify another file");
}

TEST_F(FileCommandsTest, ReadOnlyTargetIsReportedAndUntouched) {
    const QString target = dir.file("ro.htt", "keep\r\n");
    ::chmod(QFile::encodeName(target).constData(), 0444);
    form.file = target;
    dialogs.answer(Answer::Ok);
    commands.save();
    EXPECT_EQ(dialogs.last().title, "File Access Error");
    EXPECT_EQ(dialogs.last().icon, Dialogs::Icon::Critical);
    EXPECT_EQ(dialogs.last().text, "'" + target + "' has the read only attribute set.");
    EXPECT_EQ(readBytes(target), "keep\r\n");
    EXPECT_EQ(form.file, target);

    dialogs.answer(Answer::Yes);
    dialogs.answer(Answer::Ok);
    EXPECT_FALSE(commands.maybeSave());
}

// Save in place over a file that another program changed since it was opened asks first; No
// saves nothing and makes the save-changes question answer "stop". A file the program saved
// itself is not "changed".
TEST_F(FileCommandsTest, ChangedOnDiskAsksBeforeOverwriting) {
    const struct {
        Answer answer;
        bool saved;
    } cases[] = {{Answer::No, false}, {Answer::Yes, true}};
    for (const auto& c : cases) {
        const QString path = ourFile("changed.htt", "opened");
        dialogs.answer(Answer::No);  // save changes to the document shown before?
        dialogs.choose(path);
        commands.open();
        ASSERT_EQ(form.file, path);
        nameExistingFiles();
        commands.save();  // unchanged since opened: no question
        ASSERT_TRUE(dialogs.scriptUsedUp());
        QFile other(path);
        ASSERT_TRUE(other.open(QIODevice::Append));
        other.write("<!-- another program -->\r\n");
        other.close();
        const QByteArray theirs = readBytes(path);

        form.settings.description = "mine";
        dialogs.clearShown();
        dialogs.answer(Answer::Yes);  // save changes?
        dialogs.answer(c.answer);     // overwrite?
        EXPECT_EQ(commands.maybeSave(), c.saved);
        ASSERT_EQ(dialogs.shown().size(), 2u);
        EXPECT_EQ(dialogs.last().title, "File Changed");
        EXPECT_EQ(dialogs.last().buttons, Dialogs::Buttons::YesNo);
        EXPECT_EQ(dialogs.last().text, "'" + path +
                                           "' was changed by another program since it was "
                                           "opened. Overwrite it?");
        EXPECT_EQ(readBytes(path) == theirs, !c.saved);
        if (c.saved) {
            commands.save();  // saved by us just now: no question
        }
    }
}

// A name that is not UTF-8 (Qt shows its bytes as replacement characters) reaches no file.
TEST_F(FileCommandsTest, NamesThatAreNotUtf8AreRefused) {
    const QString name = dir.path(QString::fromUtf8("\xEF\xBF\xBDt\xEF\xBF\xBD.htt"));
    const QString message = "The file name '" + name + "' is not valid UTF-8";
    dialogs.choose(name);
    dialogs.answer(Answer::Ok);
    commands.saveAs();
    EXPECT_EQ(dialogs.last().title, "File Access Error");
    EXPECT_EQ(dialogs.last().text, message);
    dialogs.answer(Answer::No);
    dialogs.choose(name);
    dialogs.answer(Answer::Ok);
    commands.open();
    EXPECT_EQ(dialogs.last().title, "File Load Error");
    EXPECT_EQ(dialogs.last().text, message);
    EXPECT_EQ(firstDocument(name).warning.text, message);
    EXPECT_EQ(folderCount(), 3);  // the three referenced files only
}

TEST_F(FileCommandsTest, NewNumbersUntitledDocuments) {
    form.settings.description = "edited";
    dialogs.answer(Answer::No);
    commands.newFile();
    EXPECT_EQ(form.file, "HyperText Template2.htt");
    EXPECT_EQ(form.settings.description, "%THISDIRNAME%");
    dialogs.answer(Answer::Cancel);
    commands.newFile();
    EXPECT_EQ(form.file, "HyperText Template2.htt");
    dialogs.answer(Answer::No);
    commands.newFile();
    EXPECT_EQ(form.file, "HyperText Template3.htt");

    // Open shows a file of ours, and does not change the numbering.
    const QString saved = ourFile("saved.htt", "opened");
    dialogs.answer(Answer::No);
    dialogs.choose(saved);
    commands.open();
    EXPECT_EQ(dialogs.last().title, "Open");
    EXPECT_EQ(form.file, saved);
    EXPECT_EQ(form.settings.description, "opened");
    dialogs.answer(Answer::No);
    commands.newFile();
    EXPECT_EQ(form.file, "HyperText Template4.htt");
}

// The Help messages, word for word: Information's lines are separated by single CRs.
TEST_F(FileCommandsTest, HelpMessages) {
    const struct {
        void (FileCommands::*command)();
        const char* title;
        const char* text;
    } cases[] = {
        {&FileCommands::showInformation, "Information",
         "1.  Create or edit an existing HTT file (only one previously saved by this)\r2.  Change "
         "the line 'PersistMoniker=file://Folder.htt' to 'PersistMoniker=file://Yourfile.htt' in "
         "the Desktop.ini file\r\rIn the description box, you can type '%THISDIRNAME%' for the "
         "name of the folder or '%THISDIRPATH%' for the folder's full path."},
        {&FileCommands::about, "About", "Tessivane, by the Tessivane authors, 2026"},
    };
    for (const auto& c : cases) {
        dialogs.answer(Answer::Ok);
        (commands.*c.command)();
        EXPECT_EQ(dialogs.last().icon, Dialogs::Icon::Information);
        EXPECT_EQ(dialogs.last().title, c.title);
        EXPECT_EQ(dialogs.last().text, c.text);
    }
}

TEST(Startup, CommandLineAndFirstDocument) {
    const char* argv[] = {"tessivane", "/tmp/My", "Folder", "View.htt"};
    EXPECT_EQ(commandLineText(4, argv), "/tmp/My Folder View.htt");
    EXPECT_EQ(commandLineText(1, argv), "");

    TempDir dir;
    WorkingDocument saved = WorkingDocument::fromTemplate();
    saved.replaceText(lines::kDescription, "from the command line");
    const QString ours =
        dir.file("with spaces in name.htt", QByteArray::fromStdString(saved.toBytes()));
    const FirstDocument first = firstDocument(ours);
    EXPECT_EQ(first.sourceName, ours);
    EXPECT_EQ(first.document, saved);
    EXPECT_TRUE(first.warning.text.isEmpty());

    WorkingDocument templateCopy = WorkingDocument::fromTemplate();
    for (const QString& unusable :
         {QString(), dir.path("absent.htt"), "\"" + ours + "\"",
          dir.file("foreign.htt", "<html>\r\n<body>\r\n"), dir.file("one.htt", "* WZ.exe")}) {
        const FirstDocument fallback = firstDocument(unusable);
        EXPECT_TRUE(fallback.sourceName.isEmpty()) << unusable.toStdString();
        EXPECT_EQ(fallback.document, templateCopy) << unusable.toStdString();
        EXPECT_TRUE(fallback.warning.text.isEmpty()) << unusable.toStdString();
    }
}

}  // namespace
}  // namespace tessivane
