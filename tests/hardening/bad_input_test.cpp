// Bad input, row by row as docs/bad-input.md lists it: what tessivane-cli (through its
// executable) and the window's commands (the file commands and start-up, with scripted dialogs)
// do with each kind of file, path or text a user can give.
#include <gtest/gtest.h>

#include <grp.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include "app/file_commands.h"
#include "app/startup.h"
#include "document/line_map.h"
#include "document/lines.h"
#include "document/messages.h"
#include "document/reader.h"
#include "document/template.h"
#include "support/cli_runner.h"
#include "support/plain_form.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

namespace tessivane {
namespace {

using Answer = Dialogs::Answer;
using testing::cli;
using testing::CliRun;
using testing::folderEntries;
using testing::PlainForm;
using testing::readBytes;
using testing::TempDir;
using testing::templateBytes;

// --- the command-line tool ----------------------------------------------------------------------

// Permission checks mean nothing to root, so as root the program runs as the user "nobody".
void asUnprivilegedUser() {
    if (::geteuid() == 0 &&
        (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)) {
        _exit(99);
    }
}

// A file size limit makes every write past it fail as on a full disk.
void withFullDiskAt4KiB() {
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{4096, 4096};
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) {
        _exit(99);
    }
}

// The template's bytes with one whole line replaced.
QByteArray withLine(QByteArray bytes, int index, const QByteArray& line) {
    QList<QByteArray> lines = bytes.split('\n');
    lines[index] = line + "\r";
    return lines.join('\n');
}

QByteArray notOurs(const QString& path) {
    return QByteArray::fromStdString(messages::notOurFile(path.toStdString())) + "\n";
}

// --- the window's commands ----------------------------------------------------------------------

class BadInput : public ::testing::Test {
protected:
    void SetUp() override {
        ListCopy(session.document);
        form.SetForm(QString());
        form.shownDocuments = 0;
        form.settings.soundFile = sound.toStdString();
        form.settings.backgroundImage = background.toStdString();
        form.settings.lineImage = lineImage.toStdString();
    }
    void TearDown() override { EXPECT_TRUE(dialogs.scriptUsedUp()); }

    QStringList files() const {
        return {"--sound", sound, "--background", background, "--line-image", lineImage};
    }
    // Opens the path through the Open command (answering No to the save question); returns the
    // message shown, if any.
    std::optional<testing::ScriptedDialogs::Shown> openInWindow(const QString& path,
                                                                bool expectMessage) {
        dialogs.clearShown();
        dialogs.answer(Answer::No);
        dialogs.choose(path);
        if (expectMessage) {
            dialogs.answer(Answer::Ok);
        }
        commands.open();
        if (dialogs.last().kind == testing::ScriptedDialogs::Shown::Kind::Message &&
            dialogs.shown().size() == 3) {
            return dialogs.last();
        }
        return std::nullopt;
    }
    // Save As to the path; returns the message shown, if any.
    std::optional<testing::ScriptedDialogs::Shown> saveAsInWindow(const QString& path,
                                                                  bool expectMessage) {
        dialogs.clearShown();
        dialogs.choose(path);
        if (expectMessage) {
            dialogs.answer(Answer::Ok);
        }
        commands.saveAs();
        if (dialogs.shown().size() == 2) {
            return dialogs.last();
        }
        return std::nullopt;
    }

    TempDir dir;
    QString sound = dir.file("ding.wav", "RIFF");
    QString background = dir.file("back.gif", "GIF89a");
    QString lineImage = dir.file("line.gif", "GIF89a");
    Session session;
    PlainForm form{session};
    testing::ScriptedDialogs dialogs;
    FileCommands commands{session, form, dialogs};
};

// --- the rows -----------------------------------------------------------------------------------

TEST_F(BadInput, BinaryFileIsNotOurs) {
    QByteArray binary;
    for (int i = 0; i < 4096; ++i) {
        binary += char((i * 7919 + 13) % 256);  // every byte value, CR and LF among them
    }
    const QString withBreaks = dir.file("picture.gif", binary);
    QByteArray noBreaks = binary;
    noBreaks.replace('\r', 'r').replace('\n', 'n');
    const QString oneLine = dir.file("blob.bin", noBreaks);

    for (const QString& path : {withBreaks, oneLine}) {
        const CliRun shown = cli({"show", path});
        EXPECT_EQ(shown.status, 1);
        EXPECT_EQ(shown.err, notOurs(path));
        EXPECT_TRUE(shown.out.isEmpty());
        const CliRun written =
            cli(QStringList{"write", "--from", path, "-o", dir.path("o.htt")} + files());
        EXPECT_EQ(written.status, 1);
        EXPECT_EQ(written.err, notOurs(path));
        EXPECT_FALSE(QFile::exists(dir.path("o.htt")));
        EXPECT_TRUE(firstDocument(path).sourceName.isEmpty());
        EXPECT_TRUE(firstDocument(path).warning.isEmpty());
    }

    // The window: a file of two lines or more is refused with a message, a single line silently.
    const auto refused = openInWindow(withBreaks, true);
    ASSERT_TRUE(refused.has_value());
    EXPECT_EQ(refused->title, "File Load Error");
    EXPECT_EQ(refused->text.toStdString(), messages::notOurFile(withBreaks.toStdString()));
    EXPECT_FALSE(openInWindow(oneLine, false).has_value());
    EXPECT_EQ(form.shownDocuments, 0);
    EXPECT_EQ(form.file, "HyperText Template1.htt");
}

TEST_F(BadInput, NulBytesAreKeptAndShown) {
    QByteArray bytes = withLine(templateBytes(), lines::kDescription, QByteArray("a\0b", 3));
    bytes = withLine(bytes, 40, QByteArray("var nul = \"\0\";", 14));
    const QString from = dir.file("nul.htt", bytes);
    const QString out = dir.path("out.htt");

    const CliRun written = cli(QStringList{"write", "--from", from, "-o", out} + files());
    ASSERT_EQ(written.status, 0) << written.err.toStdString();
    const QList<QByteArray> after = readBytes(out).split('\n');
    EXPECT_EQ(after[40], QByteArray("var nul = \"\0\";\r", 15));
    EXPECT_EQ(after[lines::kDescription], QByteArray("a\0b\r", 4));
    EXPECT_TRUE(cli({"show", out}).out.contains(QByteArray("description: a\0b\n", 17)));
    EXPECT_TRUE(cli({"show", out, "--json"}).out.contains("\"description\": \"a\\u0000b\""));

    ASSERT_FALSE(openInWindow(out, false).has_value());
    EXPECT_EQ(form.settings.description, std::string("a\0b", 3));
    dialogs.clearShown();
    form.settings.description = std::string("c\0d", 3);
    commands.save();
    EXPECT_EQ(readBytes(out).split('\n')[lines::kDescription], QByteArray("c\0d\r", 4));
}

TEST_F(BadInput, TenMegabyteLines) {
    // A file that is one 10 MB line is not ours.
    const QString single = dir.file("single.htt", QByteArray(10 * 1024 * 1024, 'x'));
    const CliRun shown = cli({"show", single});
    EXPECT_EQ(shown.status, 1);
    EXPECT_EQ(shown.err, notOurs(single));
    EXPECT_FALSE(openInWindow(single, false).has_value());
    EXPECT_EQ(form.shownDocuments, 0);
    EXPECT_TRUE(firstDocument(single).sourceName.isEmpty());

    // A 10 MB line inside a document of ours is kept, and a 10 MB description is read whole.
    QByteArray bytes = withLine(templateBytes(), 200, QByteArray(10 * 1024 * 1024, 'y'));
    bytes = withLine(bytes, lines::kDescription, QByteArray(10 * 1024 * 1024, 'z'));
    const QString big = dir.file("big.htt", bytes);
    const QString out = dir.path("out.htt");
    const CliRun written = cli(QStringList{"write", "--from", big, "-o", out} + files());
    ASSERT_EQ(written.status, 0) << written.err.toStdString();
    const QList<QByteArray> after = readBytes(out).split('\n');
    EXPECT_EQ(after[200].size(), 10 * 1024 * 1024 + 1);
    EXPECT_EQ(after[lines::kDescription].size(), 10 * 1024 * 1024 + 1);
    EXPECT_TRUE(openInWindow(out, false) == std::nullopt);
    EXPECT_EQ(form.settings.description.size(), 10u * 1024 * 1024);
}

TEST_F(BadInput, MillionLinesLoadAndSaveWhole) {
    QByteArray bytes = templateBytes();
    for (int i = lines::kTemplateLineCount; i < 1'000'000; ++i) {
        bytes += "<!-- " + QByteArray::number(i) + " -->\r\n";
    }
    const QString from = dir.file("million.htt", bytes);
    const QString out = dir.path("out.htt");
    const CliRun written =
        cli(QStringList{"write", "--from", from, "-o", out, "--description", "a million lines"} +
            files());
    ASSERT_EQ(written.status, 0) << written.err.toStdString();
    const QByteArray after = readBytes(out);
    EXPECT_EQ(after.count("\r\n"), 1'000'000);
    EXPECT_TRUE(after.endsWith("<!-- 999999 -->\r\n"));
    EXPECT_EQ(after.mid(after.indexOf("<!-- 344 -->")), bytes.mid(bytes.indexOf("<!-- 344 -->")));
    EXPECT_EQ(cli({"show", out}).status, 0);

    ASSERT_FALSE(openInWindow(out, false).has_value());
    EXPECT_EQ(session.document.size(), 1'000'000u);
    EXPECT_EQ(form.settings.description, "a million lines");
}

TEST_F(BadInput, InvalidUtf8IsReadAsLatin1) {
    QByteArray legacy = withLine(templateBytes(), lines::kDescription, "Caf\xE9 \xA9 1998");
    legacy = withLine(legacy, 150, "\xFF\xFE\x80 legacy bytes");
    const QString from = dir.file("legacy.htt", legacy);

    const CliRun shown = cli({"show", from});
    EXPECT_EQ(shown.status, 0);
    EXPECT_TRUE(shown.out.startsWith("description: Caf\xC3\xA9 \xC2\xA9 1998\n"));

    // A character Latin-1 has is stored as its one byte; one it lacks is refused.
    const QString out = dir.path("out.htt");
    const CliRun accented =
        cli(QStringList{"write", "--from", from, "-o", out, "--description", "\xC3\xA9t\xC3\xA9"} +
            files());
    ASSERT_EQ(accented.status, 0) << accented.err.toStdString();
    const QList<QByteArray> after = readBytes(out).split('\n');
    EXPECT_EQ(after[lines::kDescription], "\xE9t\xE9\r");
    EXPECT_EQ(after[150], "\xFF\xFE\x80 legacy bytes\r");

    const QByteArray before = readBytes(out);
    const CliRun euro =
        cli(QStringList{"write", "--from", out, "-o", out, "--description", "5 \xE2\x82\xAC"} +
            files());
    EXPECT_EQ(euro.status, 1);
    EXPECT_EQ(euro.err.toStdString(), messages::textNotStorable("5 \xE2\x82\xAC") + "\n");
    EXPECT_EQ(readBytes(out), before);

    // The window says the same and saves nothing.
    ASSERT_FALSE(openInWindow(out, false).has_value());
    EXPECT_EQ(form.settings.description, "\xC3\xA9t\xC3\xA9");
    dialogs.clearShown();
    form.settings.description = "5 \xE2\x82\xAC";
    dialogs.answer(Answer::Ok);
    commands.save();
    EXPECT_EQ(dialogs.last().title, "Text Cannot Be Stored");
    EXPECT_EQ(readBytes(out), before);
}

TEST_F(BadInput, CrOnlyAndLfOnlyFilesOpenAndSaveWithCrLf) {
    const QByteArray crlf = withLine(templateBytes(), lines::kDescription, "line ends");
    QByteArray cr = crlf;
    cr.replace("\r\n", "\r");
    QByteArray lf = crlf;
    lf.replace("\r\n", "\n");
    for (const QByteArray& bytes : {cr, lf}) {
        const QString from = dir.file("ends.htt", bytes);
        const CliRun shown = cli({"show", from});
        EXPECT_EQ(shown.status, 0) << shown.err.toStdString();
        EXPECT_TRUE(shown.out.startsWith("description: line ends\n"));

        const QString out = dir.path("out.htt");
        QFile::remove(out);
        const CliRun written = cli(QStringList{"write", "--from", from, "-o", out} + files());
        ASSERT_EQ(written.status, 0) << written.err.toStdString();
        const QByteArray after = readBytes(out);
        EXPECT_EQ(after.count("\r\n"), lines::kTemplateLineCount);
        EXPECT_EQ(after.count('\r'), lines::kTemplateLineCount);
        EXPECT_EQ(after.count('\n'), lines::kTemplateLineCount);
        const QList<QByteArray> before = crlf.split('\n');
        const QList<QByteArray> saved = after.split('\n');
        for (int i = 0; i < lines::kTemplateLineCount; ++i) {
            if (i != lines::kFont && i != lines::kColour && i != lines::kSound &&
                i != lines::kPanel && i != lines::kLineImage) {
                EXPECT_EQ(saved[i], before[i]) << "line " << i;
            }
        }

        ASSERT_FALSE(openInWindow(from, false).has_value());
        EXPECT_EQ(form.file, from);
        EXPECT_EQ(form.settings.description, "line ends");
    }
}

TEST_F(BadInput, EmptyAndOneLineFilesAreNotOurs) {
    const QString empty = dir.file("empty.htt", "");
    const QString one = dir.file("one.htt", "* WZ.exe");
    for (const QString& path : {empty, one}) {
        const CliRun shown = cli({"show", path});
        EXPECT_EQ(shown.status, 1);
        EXPECT_EQ(shown.err, notOurs(path));
        const CliRun written =
            cli(QStringList{"write", "--from", path, "-o", dir.path("o.htt")} + files());
        EXPECT_EQ(written.status, 1);
        EXPECT_EQ(written.err, notOurs(path));
        // The window opens nothing and says nothing; start-up shows the template.
        EXPECT_FALSE(openInWindow(path, false).has_value());
        EXPECT_EQ(form.shownDocuments, 0);
        const FirstDocument first = firstDocument(path);
        EXPECT_TRUE(first.sourceName.isEmpty());
        EXPECT_TRUE(first.warning.isEmpty());
        EXPECT_EQ(first.document.size(), std::size_t(lines::kTemplateLineCount));
    }
    EXPECT_FALSE(QFile::exists(dir.path("o.htt")));
}

TEST_F(BadInput, DocumentOfOursThatEndsTooEarly) {
    QByteArray shortDocument;
    for (std::size_t i = 0; i < 100; ++i) {
        shortDocument += QByteArray::fromStdString(templateLines()[i]) + "\r\n";
    }
    const QString path = dir.file("short.htt", shortDocument);
    const QByteArray loadError =
        QByteArray::fromStdString(messages::loadError(path.toStdString())) + "\n";
    const CliRun shown = cli({"show", path});
    EXPECT_EQ(shown.status, 1);
    EXPECT_TRUE(shown.out.startsWith("description: \n"));  // not reached: the initial value
    EXPECT_TRUE(shown.out.contains("\ninfoSize: 8\n"));    // reached
    EXPECT_EQ(shown.err, loadError);
    const CliRun written =
        cli(QStringList{"write", "--from", path, "-o", dir.path("o.htt")} + files());
    EXPECT_EQ(written.status, 1);
    EXPECT_EQ(written.err, loadError);
    EXPECT_FALSE(QFile::exists(dir.path("o.htt")));

    // Opened, it becomes the document; saving it then refuses once the referenced files exist.
    ASSERT_FALSE(openInWindow(path, false).has_value());
    EXPECT_EQ(form.file, path);
    form.settings.soundFile = sound.toStdString();
    form.settings.backgroundImage = background.toStdString();
    form.settings.lineImage = lineImage.toStdString();
    dialogs.clearShown();
    dialogs.answer(Answer::Ok);
    commands.save();
    EXPECT_EQ(dialogs.last().title, "File Access Error");
    EXPECT_EQ(
        dialogs.last().text.toStdString(),
        messages::saveFailed(path.toStdString(), "the document is too short to hold the settings"));
    EXPECT_EQ(readBytes(path), shortDocument);
}

TEST_F(BadInput, FolderIsRefusedAsSourceAndAsTarget) {
    const QString folder = dir.path("folder.htt");
    ASSERT_TRUE(QDir().mkdir(folder));
    const QByteArray cannotRead = QByteArray::fromStdString(
        messages::cannotRead(folder.toStdString(), "it is a folder") + "\n");
    EXPECT_EQ(cli({"show", folder}).err, cannotRead);
    const CliRun from =
        cli(QStringList{"write", "--from", folder, "-o", dir.path("o.htt")} + files());
    EXPECT_EQ(from.status, 1);
    EXPECT_EQ(from.err, cannotRead);

    const CliRun target = cli(QStringList{"write", "-o", folder} + files());
    EXPECT_EQ(target.status, 1);
    EXPECT_EQ(target.err.toStdString(),
              messages::saveFailed(folder.toStdString(), "it is a folder") + "\n");
    EXPECT_TRUE(QFileInfo(folder).isDir());

    const auto opened = openInWindow(folder, true);
    ASSERT_TRUE(opened.has_value());
    EXPECT_EQ(opened->title, "File Load Error");
    EXPECT_EQ(opened->text.toUtf8() + "\n", cannotRead);

    const auto saved = saveAsInWindow(folder, true);
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(saved->title, "File Access Error");
    EXPECT_EQ(saved->text.toStdString(),
              messages::saveFailed(folder.toStdString(), "it is a folder"));
    EXPECT_TRUE(firstDocument(folder).sourceName.isEmpty());
    EXPECT_TRUE(firstDocument(folder).warning.isEmpty());
    EXPECT_FALSE(QFile::exists(dir.path("o.htt")));
}

TEST_F(BadInput, UnreadableFileIsReportedWithTheSystemsReason) {
    ASSERT_EQ(::chmod(QFile::encodeName(dir.root()).constData(), 0755), 0);
    const QString secret = dir.file("secret.htt", templateBytes());
    ASSERT_EQ(::chmod(QFile::encodeName(secret).constData(), 0), 0);
    const CliRun shown = cli({"show", secret}, asUnprivilegedUser);
    EXPECT_EQ(shown.status, 1);
    EXPECT_EQ(shown.err.toStdString(),
              messages::cannotRead(secret.toStdString(), "Permission denied") + "\n");
    const CliRun from =
        cli(QStringList{"write", "--from", secret, "-o", dir.path("o.htt")} + files(),
            asUnprivilegedUser);
    EXPECT_EQ(from.status, 1);
    EXPECT_EQ(from.err, shown.err);

    // The window's Open says the same and keeps its document; as root this runs as "nobody" in a
    // child process, which answers with its exit status.
    const pid_t child = ::fork();
    if (child == 0) {
        asUnprivilegedUser();
        const auto opened = openInWindow(secret, true);
        const bool reported = opened && opened->title == "File Load Error" &&
                              opened->text.toStdString() ==
                                  messages::cannotRead(secret.toStdString(), "Permission denied");
        _exit(reported && form.shownDocuments == 0 && form.file == "HyperText Template1.htt" ? 0
                                                                                             : 1);
    }
    int status = -1;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST_F(BadInput, ReadOnlyFolderRefusesTheSave) {
    const QString folder = dir.path("locked");
    ASSERT_TRUE(QDir().mkdir(folder));
    const QString existing = folder + "/existing.htt";
    ASSERT_TRUE(testing::writeBytes(existing, "keep\r\n"));
    ASSERT_EQ(::chmod(QFile::encodeName(existing).constData(), 0666), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0555), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(dir.root()).constData(), 0755), 0);
    for (const QString& target : {folder + "/new.htt", existing}) {
        const CliRun run = cli(QStringList{"write", "-o", target} + files(), asUnprivilegedUser);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err.toStdString(),
                  messages::saveFailed(target.toStdString(), "Permission denied") + "\n");
    }
    EXPECT_EQ(readBytes(existing), "keep\r\n");
    EXPECT_EQ(folderEntries(folder), QStringList{"existing.htt"});
    ::chmod(QFile::encodeName(folder).constData(), 0755);
}

TEST_F(BadInput, FullDiskNamesTheCauseAndKeepsTheOldFile) {
    QByteArray old;
    for (int i = 0; i < 1000; ++i) {
        old += "the old file, line " + QByteArray::number(i) + "\r\n";
    }
    const QString target = dir.file("full.htt", old);
    const CliRun run = cli(QStringList{"write", "-o", target} + files(), withFullDiskAt4KiB);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err.toStdString(),
              messages::saveFailed(target.toStdString(), "File too large") + "\n");
    EXPECT_EQ(readBytes(target), old);
    EXPECT_EQ(folderEntries(dir.root()),
              (QStringList{"back.gif", "ding.wav", "full.htt", "line.gif"}));
}

TEST_F(BadInput, PathThroughAMissingFolder) {
    const QString missing = dir.path("no/such/folder/x.htt");
    const CliRun shown = cli({"show", missing});
    EXPECT_EQ(shown.status, 1);
    EXPECT_EQ(shown.err.toStdString(),
              messages::cannotRead(missing.toStdString(), "No such file or directory") + "\n");
    const CliRun written = cli(QStringList{"write", "-o", missing} + files());
    EXPECT_EQ(written.status, 1);
    EXPECT_EQ(written.err.toStdString(),
              messages::saveFailed(
                  missing.toStdString(),
                  "the folder '" + dir.path("no/such/folder").toStdString() + "' does not exist") +
                  "\n");

    const auto opened = openInWindow(missing, true);
    ASSERT_TRUE(opened.has_value());
    EXPECT_EQ(opened->title, "File Load Error");
    const auto saved = saveAsInWindow(missing, true);
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(saved->title, "File Access Error");
    EXPECT_EQ(saved->text.toUtf8() + "\n", written.err);
    const FirstDocument first = firstDocument(missing);
    EXPECT_TRUE(first.sourceName.isEmpty());
    EXPECT_TRUE(first.warning.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(dir.path("no")));
}

TEST_F(BadInput, FourThousandCharacterPaths) {
    // A real path of 4,000 characters: folders of 200 characters, then a long file name.
    QString folder = dir.root();
    while (folder.size() < 3700) {
        folder += "/" + QString(200, QLatin1Char('d'));
    }
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString path = folder + "/" + QString(3996 - folder.size(), QLatin1Char('f')) + ".htt";
    ASSERT_EQ(path.size(), 4001);

    const CliRun written = cli(QStringList{"write", "-o", path, "--description", "deep"} + files());
    ASSERT_EQ(written.status, 0) << written.err.toStdString();
    EXPECT_TRUE(cli({"show", path}).out.startsWith("description: deep\n"));
    const CliRun again =
        cli(QStringList{"write", "--from", path, "-o", path, "--description", "deeper"} + files());
    EXPECT_EQ(again.status, 0) << again.err.toStdString();
    ASSERT_FALSE(openInWindow(path, false).has_value());
    EXPECT_EQ(form.file, path);
    EXPECT_EQ(form.settings.description, "deeper");
    form.settings.description = "deepest";
    dialogs.clearShown();
    commands.save();
    EXPECT_TRUE(dialogs.shown().empty());
    EXPECT_TRUE(readBytes(path).contains("\r\ndeepest\r\n"));
    EXPECT_EQ(firstDocument(path).sourceName, path);

    // A single name of 4,000 characters is too long for the file system.
    const QString tooLong = dir.path(QString(4000, QLatin1Char('n')));
    const CliRun shown = cli({"show", tooLong});
    EXPECT_EQ(shown.status, 1);
    EXPECT_EQ(shown.err.toStdString(),
              messages::cannotRead(tooLong.toStdString(), "File name too long") + "\n");
    const CliRun refused = cli(QStringList{"write", "-o", tooLong} + files());
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err.toStdString(),
              messages::saveFailed(tooLong.toStdString(), "File name too long") + "\n");
    const auto saved = saveAsInWindow(tooLong, true);
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(saved->text.toUtf8() + "\n", refused.err);
    EXPECT_TRUE(firstDocument(tooLong).sourceName.isEmpty());
}

TEST_F(BadInput, QuotesAndAngleBracketsInEveryBox) {
    const QString description = "Say \"hi\" <b>it's</b> & <script>x()</script>";
    const QString quotedSound = dir.file("snd \"q\" <a>.wav", "RIFF");
    const QString quotedBack = dir.file("bk \"q\" <b>.gif", "GIF89a");
    const QString quotedLine = dir.file("ln \"q\" <c>.gif", "GIF89a");
    const QString font = "Fo\"nt <i>";
    const QString out = dir.path("q.htt");
    const CliRun written = cli({"write", "-o", out, "--description", description, "--sound",
                                quotedSound, "--background", quotedBack, "--line-image", quotedLine,
                                "--font", font, "--loop", "2"});
    ASSERT_EQ(written.status, 0) << written.err.toStdString();

    // Written as typed: no escaping in any line.
    const QList<QByteArray> lines = readBytes(out).split('\n');
    EXPECT_EQ(lines[lines::kFont], "body  {font: 8pt/10pt " + font.toUtf8() + "; margin: 0}\r");
    EXPECT_EQ(lines[lines::kSound],
              "<bgsound src=\"file://" + quotedSound.toUtf8() + "\"loop=\"2\" > \r");
    EXPECT_EQ(lines[lines::kPanel], "<div id=Panel style=\"background: white URL(file://" +
                                        quotedBack.toUtf8() + ")\">\r");
    EXPECT_EQ(lines[lines::kDescription], description.toUtf8() + "\r");
    EXPECT_EQ(lines[lines::kLineImage],
              "<img src=\"" + quotedLine.toUtf8() + "\" width=100% height=1px>\r");

    // Read back as written, except the sound: its line ends the path at the first quote, and
    // the text after it takes the loop count's place ("q" is no number: loop forever).
    const CliRun shown = cli({"show", out});
    EXPECT_EQ(shown.out, "description: " + description.toUtf8() + "\nbackgroundImage: " +
                             quotedBack.toUtf8() + "\nlineImage: " + quotedLine.toUtf8() +
                             "\nsoundFile: " + dir.path("snd ").toUtf8() +
                             "\nloopForever: true\nloopCount: 1\nfontFace: " + font.toUtf8() +
                             "\ntextColour: Black\ninfoSize: 8\ntitleSize: 10\n");

    // The window writes the same lines from its boxes, and shows the same on opening.
    form.settings.description = description.toStdString();
    form.settings.soundFile = quotedSound.toStdString();
    form.settings.backgroundImage = quotedBack.toStdString();
    form.settings.lineImage = quotedLine.toStdString();
    form.settings.loopForever = false;
    form.settings.loopCount = "2";
    const QString fromWindow = dir.path("window.htt");
    ASSERT_FALSE(saveAsInWindow(fromWindow, false).has_value());
    const QList<QByteArray> windowLines = readBytes(fromWindow).split('\n');
    for (const int line : {lines::kSound, lines::kPanel, lines::kDescription, lines::kLineImage}) {
        EXPECT_EQ(windowLines[line], lines[line]) << "line " << line;
    }
    ASSERT_FALSE(openInWindow(fromWindow, false).has_value());
    EXPECT_EQ(form.settings.description, description.toStdString());
    EXPECT_EQ(form.settings.backgroundImage, quotedBack.toStdString());
    EXPECT_EQ(form.settings.lineImage, quotedLine.toStdString());
    EXPECT_EQ(form.settings.soundFile, dir.path("snd ").toStdString());
    EXPECT_TRUE(form.settings.loopForever);
}

}  // namespace
}  // namespace tessivane
