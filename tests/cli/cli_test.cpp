// SPDX-License-Identifier: MIT
// tessivane-cli through tessivane::cli::run() in this process (tests/hardening runs the
// executable).
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <sstream>
#include <tuple>

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTranslator>

#include "app/messages.h"
#include "cli/cli.h"
#include "support/processes.h"
#include "support/recovery_copy.h"
#include "support/temp_dir.h"

namespace tessivane {
namespace {

class Cli : public ::testing::Test {
protected:
    // Runs the tool with the words of `line`: OUT stands for the file to write, FILES for options
    // naming images and (unless the line names one) a sound that exist, BAD for an argument whose
    // bytes were not UTF-8 (it reaches the tool as U+FFFD). `out` is standard output.
    test::CliRun run(const QString& line, std::ostream* out = nullptr) const {
        QStringList arguments{"tessivane-cli"}, notUtf8;
        for (const QString& word : line.split(' ', Qt::SkipEmptyParts)) {
            arguments += word == "FILES" ? files.mid(line.contains("--sound ") ? 2 : 0)
                         : word == "BAD" ? QStringList{bad}
                                         : QStringList{word == "OUT" ? this->out : word};
            notUtf8 += word == "BAD" ? QStringList{bad} : QStringList{};
        }
        std::ostringstream printed, err;
        return {cli::run(arguments, out ? *out : printed, err, notUtf8),
                QByteArray::fromStdString(printed.str()), QByteArray::fromStdString(err.str())};
    }
    const QString bad = QChar(QChar::ReplacementCharacter);
    test::TempDir dir;
    QString out = dir.path("out.htt"), sound = dir.file("ding.wav", "RIFF");
    QStringList files = {"--sound",      sound,
                         "--background", dir.file("back.gif", "GIF89a"),
                         "--line-image", dir.file("line.gif", "GIF89a")};
};

// template writes the built-in template; write sets what it is given, --from keeps the rest;
// show prints "name: value" lines, and --json the same values.
TEST_F(Cli, TemplateWriteAndShowWorkTogether) {
    const QString text = "\"hi\"\\<b>\t%THISDIRPATH%";
    EXPECT_EQ(run("template").out, test::templateBytes());
    EXPECT_TRUE(
        QRegularExpression("^tessivane-cli [0-9.]+\n$").match(run("--version").out).hasMatch());
    run("template -o OUT");
    EXPECT_EQ(test::readBytes(out), test::templateBytes());
    ASSERT_EQ("", run("write FILES -o OUT --loop=forever --font Verdana --info-size 12").err);
    ASSERT_EQ("", run("write --from OUT -o OUT --colour navy --description " + text).err);
    const QString shown = run("show OUT").out;
    EXPECT_EQ(shown, QString("description: %4\nbackgroundImage: %1\nlineImage: %2\nsoundFile: "
                             "%3\nloopForever: true\nloopCount: 1\nfontFace: Verdana\ntextColour: "
                             "Navy\ninfoSize: 12\ntitleSize: 10\n")
                         .arg("%THISDIRPATH%\\back.gif", "%THISDIRPATH%\\line.gif",
                              "%THISDIRPATH%\\ding.wav", text));
    const QJsonObject json = QJsonDocument::fromJson(run("show OUT --json").out).object();
    EXPECT_TRUE(json.size() == 10 && json["loopForever"] == QJsonValue(true));
    for (const QString& field : shown.split('\n', Qt::SkipEmptyParts)) {
        EXPECT_EQ(json[field.section(": ", 0, 0)].toVariant().toString(), field.section(": ", 1));
    }
}

// Each row: the arguments, the exit status, and what standard error says; the usage follows a
// usage error. A success writes the file, and show prints each value that a note names.
TEST_F(Cli, WriteNamesCorrectionsAndRefusesWhatItCannotDo) {
    const QByteArray usage = run("--help").out.left(run("--help").out.indexOf("\n\n") + 1);
    const QString quoted = dir.file("a\"b.wav", ""), valid = dir.path(bad + ".htt");
    const std::tuple<QString, int, QString> cases[] = {
        {"write -o OUT FILES --info-size +5 --title-size 1e1", 0, ""},
        {"write -o OUT FILES --title-size 5000", 0, "--title-size 5000 is corrected to 2160"},
        {"write -o OUT FILES --loop 2.5", 0, "--loop 2.5 is corrected to 2"},
        {"write -o OUT FILES --sound " + quoted, 0,
         "warning: the sound file will read back as '%THISDIRPATH%\\a'"},
        {"write -o OUT --sound x", 1,
         messages::writeRefused({WriteOutcome::Status::MissingFile, "x"}, {}).text},
        {"write -o OUT FILES --sound BAD", 1,
         messages::cannotRead(bad, {FileError::Kind::InvalidName, {}}).text},
        {"write -o " + valid + " FILES --description " + bad, 0, ""},  // U+FFFD as UTF-8
        {"", 2, "no command given"},
        {"frobnicate", 2, "unknown command 'frobnicate'"},
        {"show a b", 2, "show needs exactly one FILE"},
        {"show --bogus x", 2, "Unknown option 'bogus'."},
        {"write x -o OUT", 2, "write takes its file names through --from and -o"},
        {"write FILES", 2, "write needs -o FILE"},
        {"write -o OUT -o OUT", 2, "-o given more than once"},
        {"write -o OUT --font a --font=b", 2, "--font given more than once"},
        {"write -o OUT --loop often", 2, "--loop takes 'forever' or a number, not 'often'"},
        {"write -o OUT --info-size big", 2, "--info-size takes a number, not 'big'"},
        {"write -o OUT --description BAD", 2, "--description is not valid UTF-8"},
        {"apply OUT", 2, "apply needs a TEMPLATE and a FOLDER"},
        {"apply --name x.html OUT /", 2,
         messages::folderUseFailed({FolderUseError::Kind::BadTemplateName, "x.html", {}}).text},
        {"unapply", 2, "unapply needs exactly one FOLDER"},
        {"unapply " + dir.root(), 1,
         messages::folderUseFailed({FolderUseError::Kind::NothingToUndo, dir.root(), {}}).text},
        {"write -o OUT --colour mauve", 2,
         "unknown colour 'mauve'; use one of Black, Maroon, Green, Olive, Navy, Purple, Teal, "
         "Grey, Silver, Red, Lime, Yellow, Blue, Fuchsia, Aqua, White"},
    };
    for (const auto& [arguments, status, err] : cases) {
        const test::CliRun result = run(arguments);
        EXPECT_EQ(result.status, status) << arguments.toStdString();
        const QString expected = (status == 1 ? "" : "tessivane-cli: ") + err + "\n";
        EXPECT_EQ(result.err, err.isEmpty() ? "" : expected.toUtf8() + (status == 2 ? usage : ""));
        const QString named = ": " + err.section(' ', -1).remove('\'') + "\n";  // by a note
        EXPECT_TRUE(status || err.isEmpty() || run("show OUT").out.contains(named.toUtf8()));
        EXPECT_EQ(QFile::remove(out) || QFile::remove(valid), status == 0);
    }
}

// A file that a save cut short left a recovery copy of: show and write --from name the copy on
// standard error, and write saves over the file only when told, removing the copy.
TEST_F(Cli, RecoveryCopyIsNamedAndKeptUntilDiscarded) {
    ASSERT_EQ(run("template -o OUT").status, 0);
    const QString copy = test::plantRecoveryCopy(out, "before");
    const QByteArray note = "tessivane-cli: a save of '" + out.toUtf8() + "' was cut short";
    EXPECT_TRUE(run("show OUT").err.startsWith(note));
    const test::CliRun refused = run("write --from OUT FILES -o OUT");
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(
        refused.err.startsWith(note) && refused.err.contains("' was not saved: an") &&
        refused.err.endsWith("--discard-recovery-copy saves over it and removes the copy\n"))
        << refused.err.toStdString();
    EXPECT_EQ(test::readBytes(out), test::templateBytes());
    EXPECT_EQ(run("write FILES --discard-recovery-copy -o OUT").status, 0);
    EXPECT_FALSE(QFile::exists(copy));
    EXPECT_EQ(run("write FILES --discard-recovery-copy -o OUT").status, 0);  // none: a write
}

// A file under a copy's name that is not a whole copy of the user's own is named on standard
// error and does not stop a write; --discard-recovery-copy fails, writing nothing, while it stays.
TEST_F(Cli, UntrustedCopyIsNamedAndDiscardFailsWhileItStays) {
    ASSERT_EQ(run("template -o OUT").status, 0);
    const QString copy = dir.file(".out.htt.tessivane-recovery", "before");
    EXPECT_EQ(run("show OUT").err, "tessivane-cli: Files named like a recovery copy of '" + out +
                                       "' are ignored: they are not restored and do not stop a "
                                       "save. '" +
                                       copy + "': it is incomplete or no recovery copy.\n");
    EXPECT_EQ(run("write FILES -o OUT").status, 0);
    ::chmod(QFile::encodeName(out).constData(), 0666);
    ::chmod(QFile::encodeName(dir.root()).constData(), 0555);
    const QString stays =
        "'" + out + "' could not be saved: the recovery copy '" + copy + "' stays";
    EXPECT_EQ(test::asOrdinaryUser([&] {
                  const test::CliRun refused = run("write FILES --discard-recovery-copy -o OUT");
                  return refused.status == 1 && refused.err.contains(stays.toUtf8()) ? 0 : 1;
              }),
              0);
    ::chmod(QFile::encodeName(dir.root()).constData(), 0755);
    EXPECT_TRUE(QFile::exists(copy));
}

// The tool's --help and each command's own answer on standard output, a failure when it cannot
// be written; the manual page describes every option that they list.
TEST_F(Cli, HelpListsEachCommandsOptionsAndTheManualPageDescribesThem) {
    const QString manual = test::readBytes(TESSIVANE_SOURCE_DIR "/packaging/tessivane-cli.1");
    std::ostream unwritable(nullptr);
    const std::tuple<QString, const char*, qsizetype> cases[] = {
        {"--help", "Usage:\n  tessivane-cli template [-o FILE]\n", 21},
        {"-h write", "Usage:\n  tessivane-cli template [-o FILE]\n", 21},
        {"template -h x", "Usage: tessivane-cli template [options]\n", 4},
        {"show -help", "Usage: tessivane-cli show [options] FILE\n", 3},
        {"write --from=x --help", "Usage: tessivane-cli write [options] -o FILE\n", 15},
        {"apply --help", "Usage: tessivane-cli apply [options] TEMPLATE FOLDER\n", 8},
        {"show-folder -h", "Usage: tessivane-cli show-folder [options] FOLDER\n", 3},
        {"unapply -h", "Usage: tessivane-cli unapply [options] FOLDER\n", 2},
    };
    for (const auto& [arguments, start, count] : cases) {
        const test::CliRun help = run(arguments);
        EXPECT_TRUE(help.status == 0 && help.err.isEmpty() && help.out.startsWith(start));
        EXPECT_EQ(run(arguments, &unwritable).status, 1);
        QSet<QString> options;
        for (const auto& match :
             QRegularExpression("(?:^|[ [,|\n])(--?[a-z][a-z-]*)").globalMatch(help.out)) {
            const QString option = *options.insert(match.captured(1));
            EXPECT_TRUE(manual.contains(QString(option).replace("-", "\\-"))) << qPrintable(option);
        }
        EXPECT_EQ(options.size(), count) << help.out.data();
    }
}

// apply writes the template into the folder and says what is left to do on Windows; unapply
// takes it out again.
TEST_F(Cli, ApplyAndUnapplyTakeEachOtherBack) {
    run("write -o OUT FILES");
    const QString folder = dir.path("shown");
    ASSERT_TRUE(QDir().mkdir(folder));
    const test::CliRun applied = run("apply --name My.htt OUT " + folder);
    EXPECT_EQ(applied.status, 0);
    // The page's files lie beside the template, outside the folder: they are copied in.
    FolderUseResult copied;
    copied.copies =
        QStringList{"ding.wav (from " + sound + ")", "back.gif (from " + dir.path("back.gif") + ")",
                    "line.gif (from " + dir.path("line.gif") + ")"};
    EXPECT_EQ(applied.out, messages::folderUseDone(folder, "My.htt", copied).toUtf8() + "\n");
    EXPECT_EQ(test::readBytes(folder + "/My.htt"), test::readBytes(out));
    EXPECT_TRUE(test::readBytes(folder + "/Desktop.ini").contains("PersistMoniker=file://My.htt"));
    EXPECT_EQ(run("unapply " + folder).status, 0);
    EXPECT_TRUE(test::folderEntries(folder).isEmpty());

    // Refusals, each with nothing written: a page of Tessivane's in the way unless --replace,
    // a name Windows opens as a device, a file the page names that is missing.
    test::writeBytes(folder + "/Folder.htt", test::templateBytes());
    const QString gone = dir.path("gone.htt");
    ASSERT_EQ(run("write FILES -o " + gone + " --sound " + dir.file("gone.wav", "")).status, 0);
    QFile::remove(dir.path("gone.wav"));
    const std::tuple<QString, int, const char*> refused[] = {
        {"apply OUT " + folder, 1, "apply --replace replaces it"},
        {"apply --name CON.htt OUT " + folder, 2, "CON.htt"},
        {"apply " + gone + " " + folder, 1, "gone.wav"},
    };
    for (const auto& [line, status, said] : refused) {
        const test::CliRun result = run(line);
        EXPECT_EQ(result.status, status) << qPrintable(line);
        EXPECT_TRUE(result.err.contains(said)) << result.err.data();
        EXPECT_EQ(test::folderEntries(folder), QStringList{"Folder.htt"});
    }
    EXPECT_EQ(run("apply --replace OUT " + folder).status, 0);
    EXPECT_EQ(run("unapply " + folder).status, 0);
    EXPECT_EQ(test::readBytes(folder + "/Folder.htt"), test::templateBytes());
    EXPECT_EQ(test::folderEntries(folder), QStringList{"Folder.htt"});
}

// The tool as a German user starts it speaks German: the program finds its translation by the
// user's language and installs it.
TEST_F(Cli, AGermanUserReadsGerman) {
    for (const char* language : {"de", "de_AT"}) {
        const test::CliRun help = test::cli({"--help"}, [language] {
            ::unsetenv("LC_ALL");
            ::unsetenv("LC_MESSAGES");
            ::setenv("LANGUAGE", language, 1);
        });
        EXPECT_TRUE(help.out.startsWith("Aufruf:\n")) << help.out.left(40).data();
    }
}

// A folder's look, with a page or without one: apply sets what it is given and keeps the rest,
// show-folder prints it, unapply takes it out; a colour that is not one is a usage error.
TEST_F(Cli, ApplyGivesAFolderItsLookAndShowFolderPrintsIt) {
    const QString folder = dir.path("looked");
    ASSERT_TRUE(QDir().mkdir(folder));
    const QString icon = dir.file("sea.ico", "ICO"), back = dir.file("back.gif", "GIF89a");
    EXPECT_EQ(run("apply --comment Holiday --icon " + icon + ",2 --list-text-colour Navy " + folder)
                  .status,
              0);
    EXPECT_EQ(run("apply --list-picture " + back + " --list-text-colour #12ab9f " + folder).status,
              0);
    EXPECT_EQ(run("show-folder " + folder).out,
              "page: \ncomment: Holiday\nicon: sea.ico,2\nlistPicture: back.gif\n"
              "listTextColour: #12AB9F\n");
    EXPECT_EQ(QJsonDocument::fromJson(run("show-folder --json " + folder).out)["icon"].toString(),
              "sea.ico,2");
    EXPECT_EQ(run("apply --list-text-colour mauve " + folder).status, 2);
    EXPECT_EQ(run("unapply " + folder).status, 0);
    EXPECT_TRUE(test::folderEntries(folder).isEmpty());
}

// Under the pseudo-translation, which wraps every text it translates in brackets, all that the
// tool prints in its help, usage errors, notes and warnings is marked; what stays unmarked is
// the command line's syntax (command and option names, FILE and the other value names) and the
// headings of Qt's own option list, which Qt's translation covers.
TEST_F(Cli, EveryTextTheToolPrintsIsTranslated) {
    int argc = 1;
    char name[] = "tessivane-cli";
    char* argv[] = {name};
    QCoreApplication app(argc, argv);
    QTranslator pseudo;
    ASSERT_TRUE(pseudo.load(QStringLiteral(TESSIVANE_PSEUDO_QM)));
    QCoreApplication::installTranslator(&pseudo);
    QString printed;
    const QString lines =
        "--help|template -h|show -h|write -h|apply -h|unapply -h||x|template x|show|write x|write|"
        "write -o OUT -o OUT|apply|unapply|write -o OUT --colour x|write -o OUT --loop x|"
        "write -o OUT --info-size x|write -o OUT --description BAD|write -o OUT --sound x|"
        "write -o OUT FILES --loop 0 --title-size 0|show " +
        dir.root() + "|apply OUT OUT|" + "write -o OUT FILES --sound " + dir.file("a\"b.wav", "");
    for (const QString& line : lines.split('|')) {
        const test::CliRun result = run(line);
        printed += result.out + result.err;
    }
    QCoreApplication::removeTranslator(&pseudo);
    // The reasons that messages quote are translated too.
    EXPECT_TRUE(printed.contains("[it is a folder]") && printed.contains("[it is not a folder]"));
    // Marked texts and the usage's optional parts, innermost first.
    for (qsizetype length = -1; length != printed.size();) {
        length = printed.size();
        printed.remove(QRegularExpression(R"(\[[^][]*\])"));
    }
    printed.remove(QRegularExpression(
        R"(tessivane-cli|NAME\.htt|--?[a-z][a-z-]*|\b[A-Z]+\b|forever|Options:|Arguments:|)"
        R"(\b(template|show|write|apply|unapply)\b)"));
    EXPECT_FALSE(printed.contains(QRegularExpression("[[:alpha:]]"))) << printed.toStdString();
}

}  // namespace
}  // namespace tessivane
