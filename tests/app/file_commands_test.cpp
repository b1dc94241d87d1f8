// SPDX-License-Identifier: MIT
// The file commands against a plain form and scripted dialogs: what each answer and failure
// leaves on disk, in the document and in the current file.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <algorithm>
#include <functional>
#include <optional>

#include "app/folder_commands.h"
#include "app/preview_link.h"
#include "app/startup.h"
#include "support/plain_form.h"
#include "support/recovery_copy.h"

namespace tessivane {
namespace {

using Answer = Dialogs::Answer;
using test::readBytes;
using test::TempDir;

class FileCommandsTest : public test::CommandsTest {
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

// A new document names the built-in template's drive paths, which this machine cannot check: the
// first Save writes it and the status bar says they were not checked. A missing path of this
// machine is still refused.
TEST_F(FileCommandsTest, ANewDocumentSavesWithItsDrivePaths) {
    form.settings = readFolderViewSettings(WorkingDocument::fromTemplate());
    EXPECT_EQ(run(kSave, dir.path("new.htt")), "");
    EXPECT_TRUE(readBytes(dir.path("new.htt")).contains("file://C:\\windows\\media\\Nothing.wav"));
    EXPECT_TRUE(form.note.contains("C:\\windows\\media\\Nothing.wav") &&
                form.note.contains("not checked on this machine"));
    form.settings.soundFile = dir.path("gone.wav").toStdString();
    EXPECT_TRUE(run(kSave, {}, true).startsWith("File Does Not Exist: "));
}

// Save asks for a name, offering the placeholder, only while the current file does not exist; Save
// As writes a copy and keeps the current file.
TEST_F(FileCommandsTest, SaveAsksForANameOnlyUntilTheFileExists) {
    const QString copy = dir.path("copy.htt"), mine = dir.path("mine.htt");
    EXPECT_EQ(run(kSaveAs, copy), "");
    EXPECT_EQ(dialogs.last().title, "Save As");
    EXPECT_TRUE(QFile::exists(copy));
    EXPECT_EQ(form.file, "HyperText Template1.htt");
    EXPECT_EQ(run(kSave, mine), "");
    EXPECT_EQ(dialogs.last().title, "Save");
    EXPECT_EQ(dialogs.last().state.nameFilters, QStringList{"HyperText Template (*.htt)"});
    EXPECT_EQ(dialogs.last().state.fileName, "HyperText Template1.htt");
    EXPECT_EQ(form.file, mine);
    form.settings.description = "second";
    EXPECT_EQ(run(kSave), "");
    EXPECT_TRUE(dialogs.shown().empty());
    EXPECT_TRUE(readBytes(mine).contains("\r\nsecond\r\n"));
}

// No goes on, asked even though nothing was edited; Cancel, and Yes with a cancelled dialog, stop;
// Yes through the dialog writes and goes on, keeping the placeholder as the current file.
TEST_F(FileCommandsTest, QuestionAnswers) {
    dialogs.answer(Answer::No);
    EXPECT_TRUE(commands.maybeSave());
    EXPECT_EQ(dialogs.last().title, "Save Changes");
    EXPECT_EQ(dialogs.last().text, "Save changes to 'HyperText Template1.htt'?");
    EXPECT_EQ(dialogs.last().icon, Dialogs::Icon::Question);
    EXPECT_EQ(dialogs.last().buttons, Dialogs::Buttons::YesNoCancel);
    dialogs.answer(Answer::Cancel);
    EXPECT_FALSE(commands.maybeSave());
    dialogs.answer(Answer::Yes);
    dialogs.cancelDialog();
    EXPECT_FALSE(commands.maybeSave());
    dialogs.answer(Answer::Yes);
    dialogs.choose(dir.path("asked.htt"));
    EXPECT_TRUE(commands.maybeSave());
    EXPECT_TRUE(QFile::exists(dir.path("asked.htt")));
    EXPECT_EQ(form.file, "HyperText Template1.htt");
    EXPECT_EQ(folderCount(), 4);
}

// A refused save names its cause, writes nothing, keeps the current file, and makes the
// save-changes question answer "stop": a missing referenced file, then a read-only target.
TEST_F(FileCommandsTest, RefusedSaveSaysWhyAndStopsTheQuestion) {
    const QString target = dir.file("ro.htt", "keep\r\n"), gone = dir.path("gone.gif");
    ::chmod(QFile::encodeName(target).constData(), 0444);
    const struct {
        QString lineImage;
        Dialogs::Icon icon;
        QString message;
    } cases[] = {
        {gone, Dialogs::Icon::Exclamation,
         "File Does Not Exist: The file '" + gone +
             "' does not exist.  Please specify another file"},
        {lineImage, Dialogs::Icon::Critical,
         "File Access Error: '" + target + "' has the read only attribute set."},
    };
    form.file = target;
    for (const auto& c : cases) {
        form.settings.lineImage = c.lineImage.toStdString();
        EXPECT_EQ(run(kSave, {}, true), c.message);
        EXPECT_EQ(dialogs.last().icon, c.icon);
        dialogs.answer(Answer::Yes);
        dialogs.answer(Answer::Ok);
        EXPECT_FALSE(commands.maybeSave());
        EXPECT_EQ(dialogs.last().title + ": " + dialogs.last().text, c.message);
        EXPECT_EQ(readBytes(target), "keep\r\n");
        EXPECT_EQ(form.file, target);
    }
}

// Save in place over a file that another program changed since it was opened asks first: content
// added, the same size rewritten with its modification time put back, or the file replaced by
// one of the same size and time (as cp -p and rsync -t do). No saves nothing and makes the
// save-changes question answer "stop". A file the program saved itself, also by Save As over the
// current file, is not "changed".
TEST_F(FileCommandsTest, ChangedOnDiskAsksBeforeOverwriting) {
    const auto keepingTimes = [](const QString& path, const std::function<void()>& change) {
        struct stat before {};
        ::stat(QFile::encodeName(path).constData(), &before);
        QThread::msleep(20);  // past the file system clock's tick, within the same second
        change();
        const timespec times[] = {before.st_atim, before.st_mtim};
        ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0);
    };
    const std::function<void(const QString&)> changes[] = {
        [](const QString& path) { test::writeBytes(path, readBytes(path) + "<!-- -->\r\n"); },
        [&](const QString& path) {
            keepingTimes(path,
                         [&] { test::writeBytes(path, readBytes(path).replace("mine", "MINE")); });
        },
        [&](const QString& path) {
            const QString other = path + ".tmp";
            ASSERT_TRUE(QFile::copy(path, other));
            keepingTimes(other, [] {});
            keepingTimes(path,
                         [&] { ::rename(QFile::encodeName(other), QFile::encodeName(path)); });
        },
    };
    for (const auto& change : changes) {
        for (const Answer answer : {Answer::No, Answer::Yes}) {
            const QString path = ourFile("changed.htt", "opened");
            ASSERT_EQ(run(kOpen, path), "");
            nameExistingFiles();
            form.settings.description = "mine";
            ASSERT_EQ(run(kSave), "");  // unchanged since opened: no question
            change(path);
            const QByteArray theirs = readBytes(path);
            form.settings.description = "ours";
            dialogs.clearShown();
            dialogs.answer(Answer::Yes);  // save changes?
            dialogs.answer(answer);       // overwrite?
            EXPECT_EQ(commands.maybeSave(), answer == Answer::Yes);
            ASSERT_EQ(dialogs.shown().size(), 2u);
            EXPECT_EQ(dialogs.last().title, "File Changed");
            EXPECT_EQ(dialogs.last().buttons, Dialogs::Buttons::YesNo);
            EXPECT_EQ(dialogs.last().text, "'" + path +
                                               "' was changed by another program since it was "
                                               "opened. Overwrite it?");
            EXPECT_EQ(readBytes(path) == theirs, answer == Answer::No);
            if (answer == Answer::Yes) {
                form.settings.description = "again";
                EXPECT_EQ(run(kSaveAs, path), "");
                EXPECT_EQ(run(kSave), "");  // saved by us: no question
            }
        }
    }
}

// A file that a save cut short left a recovery copy of: Open and start-up ask whether to restore
// it, and restore it or keep the file as it is, the copy then gone; a question left unanswered
// opens nothing. While the copy is there, no save writes over the file.
TEST_F(FileCommandsTest, RecoveryCopyIsOfferedOnOpening) {
    const struct {
        Answer answer;
        const char* description;  // shown afterwards
    } cases[] = {{Answer::Restore, "before"}, {Answer::Keep, "mixed"}, {Answer::Cancel, nullptr}};
    for (const auto& c : cases) {
        for (const bool atStart : {false, true}) {
            const QString path = ourFile("cut.htt", "mixed");
            const QString copy = test::plantRecoveryCopy(
                path, readBytes(ourFile(".cut.htt.tessivane-recovery", "before")));
            dialogs.clearShown();
            form.settings.description = "%THISDIRNAME%";
            if (!atStart) {
                dialogs.answer(Answer::No);  // save changes?
                dialogs.choose(path);
            }
            dialogs.answer(c.answer);
            atStart ? commands.start(path) : commands.open();
            const auto question =
                std::find_if(dialogs.shown().begin(), dialogs.shown().end(),
                             [](const auto& shown) { return shown.title == "Recovery Copy"; });
            ASSERT_NE(question, dialogs.shown().end());
            EXPECT_EQ(question->buttons, Dialogs::Buttons::RestoreOrKeep);
            EXPECT_TRUE(question->text.contains("'" + copy + "'"));
            EXPECT_EQ(form.settings.description, c.description ? c.description : "%THISDIRNAME%");
            EXPECT_EQ(QFile::exists(copy), c.description == nullptr);
            if (c.description == nullptr) {
                nameExistingFiles();
                EXPECT_TRUE(run(kSaveAs, path, true).contains("was not saved: an earlier save"));
            }
            QFile::remove(copy);
        }
    }
}

// A file under a copy's name that is not a whole copy of the user's own: Open and start-up name
// it in a note, ask nothing and show the file as it is.
TEST_F(FileCommandsTest, UntrustedCopyIsNamedNotOffered) {
    for (const bool atStart : {false, true}) {
        const QString path = ourFile("cut.htt", "mixed");
        const QString copy = ourFile(".cut.htt.tessivane-recovery", "before");  // without a record
        dialogs.clearShown();
        if (!atStart) {
            dialogs.answer(Answer::No);  // save changes?
            dialogs.choose(path);
        }
        dialogs.answer(Answer::Ok);  // the note, the only other message
        atStart ? commands.start(path) : commands.open();
        EXPECT_TRUE(dialogs.scriptUsedUp());
        EXPECT_EQ(dialogs.last().title, "Recovery Copy");
        EXPECT_EQ(dialogs.last().buttons, Dialogs::Buttons::Ok);
        EXPECT_TRUE(
            dialogs.last().text.contains("'" + copy + "': it is incomplete or no recovery copy."));
        EXPECT_EQ(form.settings.description, "mixed");
        EXPECT_EQ(form.file, path);
        EXPECT_TRUE(QFile::exists(copy));
    }
}

// A name that is not UTF-8 (Qt shows its bytes as replacement characters) reaches no file; a
// name that holds U+FFFD as UTF-8 is a name like any other.
TEST_F(FileCommandsTest, NamesThatAreNotUtf8AreRefused) {
    const QByteArray latin1 = QFile::encodeName(dir.root()) + "/\xE9t\xE9.htt";
    ::close(::creat(latin1, 0644));
    const QString name = dir.path(QString::fromUtf8("\xEF\xBF\xBDt\xEF\xBF\xBD.htt"));
    const QString message = "The file name '" + name + "' is not valid UTF-8";
    EXPECT_EQ(run(kSaveAs, name, true), "File Access Error: " + message);
    EXPECT_EQ(run(kOpen, name, true), "File Load Error: " + message);
    EXPECT_EQ(firstDocument(name).warning.text, message);
    EXPECT_EQ(folderCount(), 3);  // the three referenced files (Qt cannot see that one)
    EXPECT_EQ(run(kSaveAs, dir.path(QString::fromUtf8("ok\xEF\xBF\xBD.htt"))), "");
    EXPECT_EQ(folderCount(), 4);
    ::unlink(latin1);  // which Qt could not remove with the folder
}

// New shows the template under the next placeholder name, unless the question says stop.
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
    EXPECT_EQ(run(kOpen, saved), "");
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

    // Nothing, or a name in quotes (kept as typed): the template, silently.
    for (const QString& unusable : {QString(), "\"" + ours + "\""}) {
        const FirstDocument fallback = firstDocument(unusable);
        EXPECT_TRUE(fallback.sourceName.isEmpty() && fallback.warning.text.isEmpty());
        EXPECT_EQ(fallback.document, WorkingDocument::fromTemplate()) << unusable.toStdString();
    }
}

// Use for Folder runs the writer, picks a folder starting where it is told, shows what will
// change with the folder's look and does nothing without OK; then the document as Save writes it
// is in the folder, and a second use says what it replaces. A refusal is a message box and
// changes nothing.
TEST_F(FileCommandsTest, UseForFolderShowsWhatWillChangeAndWaitsForOk) {
    FolderCommands folders(session, commands, dialogs);
    const QString folder = dir.path("shown");
    ASSERT_TRUE(QDir().mkdir(folder));
    form.settings.description = "Holidays";
    const auto use = [&](bool ok) {
        dialogs.clearShown();
        dialogs.choose(folder);
        ok ? dialogs.answerLook({}) : dialogs.cancelLook();
        return folders.useForFolder(dir.root(), {});
    };
    EXPECT_FALSE(use(false));
    EXPECT_EQ(dialogs.shown()[0].state.fileName, dir.root());
    EXPECT_EQ(dialogs.last().kind, test::ScriptedDialogs::Shown::Kind::Look);
    EXPECT_EQ(dialogs.last().title, "Use for Folder");
    EXPECT_EQ(dialogs.last().state.fileName, folder);
    EXPECT_EQ(dialogs.last().look, FolderLook{});
    // The pictures and the sound lie outside the folder: the question names their copies.
    FolderUseResult copied;
    for (const QString& path : {sound, background, lineImage}) {
        copied.copies << QFileInfo(path).fileName() + " (from " + path + ")";
    }
    EXPECT_EQ(dialogs.last().text,
              "Use this template for the folder '" + folder +
                  "'?\r\rFolder.htt will be written.\rCopied into the folder, for Windows to "
                  "find: " +
                  copied.copies.join(", ") +
                  ".\rDesktop.ini will be created.\rThis volume "
                  "keeps no Windows attributes: on Windows, the folder must then be marked with "
                  "attrib +r \"" +
                  folder + "\".");
    EXPECT_TRUE(test::folderEntries(folder).isEmpty());
    const auto done = use(true);
    ASSERT_TRUE(done);
    EXPECT_EQ(done->status, messages::folderUseDone(folder, "Folder.htt", copied));
    EXPECT_TRUE(readBytes(folder + "/Folder.htt").contains("\r\nHolidays\r\n"));
    EXPECT_TRUE(use(true));
    EXPECT_TRUE(dialogs.last().text.contains("Folder.htt will be replaced.\r"));
    EXPECT_TRUE(dialogs.last().text.contains("\rDesktop.ini will be updated."));

    form.settings.soundFile = dir.path("gone.wav").toStdString();
    dialogs.answer(Answer::Ok);
    EXPECT_FALSE(folders.useForFolder(dir.root(), {}));
    EXPECT_EQ(dialogs.last().title, "File Does Not Exist");
    nameExistingFiles();
    ASSERT_TRUE(QFile::remove(folder + "/Desktop.ini") &&
                QFile::link("/etc/hostname", folder + "/Desktop.ini"));
    dialogs.choose(folder);
    dialogs.answer(Answer::Ok);
    EXPECT_FALSE(folders.useForFolder(dir.root(), {}));
    EXPECT_EQ(dialogs.last().text,
              "'" + folder + "/Desktop.ini' cannot be changed: it is a link. Nothing was changed.");
}

// The look form is offered what Desktop.ini gives the folder now, each time: Cancel writes
// nothing, a look answered is written (a file from elsewhere copied in), and emptied parts take
// out what the earlier use set, bringing back the values it had replaced.
TEST_F(FileCommandsTest, UseForFolderOffersTheFoldersLookAndWritesTheAnswer) {
    FolderCommands folders(session, commands, dialogs);
    const QString folder = dir.path("looked");
    ASSERT_TRUE(QDir().mkdir(folder));
    test::writeBytes(folder + "/old.ico", "icon");
    test::writeBytes(folder + "/old.gif", test::kGif);
    const QByteArray before =
        "[.ShellClassInfo]\r\nInfoTip=Old tip\r\nIconFile=old.ico\r\nIconIndex=2\r\n"
        "[{BE098140-A513-11D0-A3A4-00C04FD706EC}]\r\nIconArea_Image=old.gif\r\n"
        "IconArea_Text=0x000000FF\r\n";
    test::writeBytes(folder + "/Desktop.ini", before);
    const FolderLook old{"Old tip", "old.ico", "2", "old.gif", "0x000000FF"};
    const QString icon = dir.file("new.ico", "another icon");
    const FolderLook changed{"Holiday pictures, 2026", icon.toStdString(), "-3",
                             background.toStdString(), "0x00008000"};
    const FolderLook written{changed.comment, "new.ico", "-3",
                             QFileInfo(background).fileName().toStdString(), "0x00008000"};
    struct Row {
        const char* what;
        std::optional<FolderLook> answer;  // nothing: Cancel
        FolderLook offered, after;
    };
    const Row rows[] = {
        {"cancelled", std::nullopt, old, old},
        {"kept", old, old, old},
        {"changed", changed, old, written},
        {"emptied", FolderLook{}, written, old},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        dialogs.clearShown();
        dialogs.choose(folder);
        row.answer ? dialogs.answerLook(*row.answer) : dialogs.cancelLook();
        EXPECT_EQ(folders.useForFolder(dir.root(), {}).has_value(), row.answer.has_value());
        EXPECT_EQ(dialogs.last().look, row.offered);
        EXPECT_EQ(folderLookIn(readBytes(folder + "/Desktop.ini").toStdString()), row.after);
        if (!row.answer) {
            EXPECT_EQ(readBytes(folder + "/Desktop.ini"), before);
            EXPECT_FALSE(QFile::exists(folder + "/Folder.htt"));
        }
    }
}

// The shared dialog offers each command's filters at the place the user chose last; filters that
// lack the place leave the choice for a later dialog that has it.
TEST(DialogStateTest, KeepsThePlaceOfTheChosenFilter) {
    DialogState state;
    state.setNameFilters(filters::image());
    EXPECT_EQ(state.selectedNameFilter, "");
    state.selectedNameFilter = "All files (*)";
    for (const auto& [filters, chosen] :
         std::vector<std::pair<QStringList, QString>>{{filters::sound(), "Movie Clip (*.mp2)"},
                                                      {filters::templates(), "Movie Clip (*.mp2)"},
                                                      {filters::sound(), "Movie Clip (*.mp2)"},
                                                      {filters::icon(), "Movie Clip (*.mp2)"}}) {
        state.setNameFilters(filters);
        EXPECT_EQ(state.selectedNameFilter, chosen);
        EXPECT_EQ(state.nameFilters, filters);
    }
}

// The preview's warm-up reads the engine's files where this Qt keeps them; a file missing here
// would make every first preview wait on the disk again.
TEST(PreviewLinkTest, WarmUpNamesTheEnginesFiles) {
#ifndef TESSIVANE_WITH_PREVIEW
    GTEST_SKIP() << "built without the preview";
#endif
    const QStringList files = PreviewLink::engineFiles();
    EXPECT_GT(files.size(), 3);
    for (const QString& file : files) {
        EXPECT_TRUE(QFileInfo(file).isFile()) << file.toStdString();
    }
}

}  // namespace
}  // namespace tessivane
