// SPDX-License-Identifier: MIT
// tessivane-cli end to end, through its executable.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QProcess>

#include "document/lines.h"
#include "document/template.h"
#include "support/cli_runner.h"
#include "support/temp_dir.h"

namespace tessivane {
namespace {

using testing::readBytes;
using testing::TempDir;

using testing::cli;
using testing::CliRun;
using testing::templateBytes;

const QByteArray kTemplateSettings =
    "description: %THISDIRNAME%\n"
    "backgroundImage: c:\\Nothing.gif\n"
    "lineImage: c:\\NoLine.gif\n"
    "soundFile: C:\\windows\\media\\Nothing.wav\n"
    "loopForever: true\n"
    "loopCount: 1\n"
    "fontFace: verdana\n"
    "textColour: Black\n"
    "infoSize: 8\n"
    "titleSize: 10\n";

TEST(CliTemplate, WritesTheTemplateToAFileOrStandardOutput) {
    TempDir dir;
    const QString path = dir.path("t.htt");
    const CliRun written = cli({"template", "-o", path});
    EXPECT_EQ(written.status, 0) << written.err.toStdString();
    EXPECT_EQ(readBytes(path), templateBytes());

    const CliRun printed = cli({"template"});
    EXPECT_EQ(printed.status, 0);
    EXPECT_EQ(printed.out, templateBytes());

    const CliRun shown = cli({"show", path});
    EXPECT_EQ(shown.status, 0);
    EXPECT_EQ(shown.out, kTemplateSettings);
}

TEST(CliShow, JsonHasEveryFieldAndEscapesTexts) {
    TempDir dir;
    QByteArray bytes = templateBytes();
    bytes.replace("%THISDIRNAME%\r\n", "Say \"hi\" \\ <b>\r\n");
    const QString path = dir.file("j.htt", bytes);
    const CliRun shown = cli({"show", path, "--json"});
    EXPECT_EQ(shown.status, 0) << shown.err.toStdString();
    EXPECT_EQ(shown.out,
              "{\"description\": \"Say \\\"hi\\\" \\\\ <b>\", \"backgroundImage\": "
              "\"c:\\\\Nothing.gif\", \"lineImage\": \"c:\\\\NoLine.gif\", \"soundFile\": "
              "\"C:\\\\windows\\\\media\\\\Nothing.wav\", \"loopForever\": true, \"loopCount\": "
              "\"1\", \"fontFace\": \"verdana\", \"textColour\": \"Black\", \"infoSize\": \"8\", "
              "\"titleSize\": \"10\"}\n");
}

TEST(CliShow, RefusesForeignFilesAndReportsShortOnes) {
    TempDir dir;
    const QString foreign = dir.file("folder.htt", "<html>\r\n<head>\r\n");
    const CliRun refused = cli({"show", foreign});
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(refused.out.isEmpty());
    EXPECT_EQ(refused.err, "The file '" + foreign.toUtf8() +
                               "' is not a currently supported or is corrupted.  Make a new file "
                               "with this program.\n");

    QByteArray shortDocument;
    for (int i = 0; i < 100; ++i) {
        shortDocument += QByteArray::fromStdString(templateLines()[std::size_t(i)]) + "\r\n";
    }
    const QString path = dir.file("short.htt", shortDocument);
    const CliRun partial = cli({"show", path});
    EXPECT_EQ(partial.status, 1);
    EXPECT_TRUE(partial.out.contains("infoSize: 8\n"));
    EXPECT_TRUE(partial.out.contains("description: \n"));  // never reached: the initial value
    EXPECT_EQ(partial.err,
              "There was an error during loading the HTT file '" + path.toUtf8() + "'.\n");
}

class CliWrite : public ::testing::Test {
protected:
    TempDir dir;
    QString sound = dir.file("ding.wav", "RIFF");
    QString back = dir.file("back.gif", "GIF89a");
    QString line = dir.file("line.gif", "GIF89a");
    QStringList files() const {
        return {"--sound", sound, "--background", back, "--line-image", line};
    }
};

TEST_F(CliWrite, WritesSettingsThatShowReadsBack) {
    const QString out = dir.path("out.htt");
    const CliRun written = cli(QStringList{"write", "-o", out, "--description", "%THISDIRPATH% <b>",
                                           "--loop", "3", "--font", "Times New Roman", "--colour",
                                           "grey", "--info-size", "12", "--title-size", "5000"} +
                               files());
    ASSERT_EQ(written.status, 0) << written.err.toStdString();
    const QList<QByteArray> lines = readBytes(out).split('\n');
    EXPECT_EQ(lines[9], "body  {font: 12pt/2160pt Times New Roman; margin: 0}\r");
    EXPECT_EQ(lines[10], "{font-weight: bold; color: gray}\r");
    EXPECT_EQ(lines[28], "<bgsound src=\"file://" + sound.toUtf8() + "\"loop=\"3\" > \r");
    EXPECT_EQ(lines[299], "%THISDIRPATH% <b>\r");

    const CliRun shown = cli({"show", out});
    EXPECT_EQ(shown.out, "description: %THISDIRPATH% <b>\nbackgroundImage: " + back.toUtf8() +
                             "\nlineImage: " + line.toUtf8() + "\nsoundFile: " + sound.toUtf8() +
                             "\nloopForever: false\nloopCount: 3\nfontFace: Times New Roman\n"
                             "textColour: Grey\ninfoSize: 12\ntitleSize: 2160\n");
}

// Numbers are stored plainly; a number the tool corrects, and a value the line format cannot
// carry, are named on standard error while the file is still written.
TEST_F(CliWrite, StoresPlainNumbersAndNamesWhatItChanges) {
    const QString quoted = dir.file("a\"b.wav", "RIFF");
    const struct {
        QStringList arguments;
        int line;
        QByteArray text;
        QByteArray err;
    } cases[] = {
        {{"--info-size", " 12", "--title-size", "1e1"}, 9, "font: 12pt/10pt ", ""},
        {{"--info-size", "+5", "--title-size", "12."}, 9, "font: 5pt/12pt ", ""},
        {{"--title-size", "5000"},
         9,
         "/2160pt ",
         "tessivane-cli: --title-size 5000 is corrected to 2160\n"},
        {{"--info-size", "0.5"},
         9,
         "font: 1pt/",
         "tessivane-cli: --info-size 0.5 is corrected to 1\n"},
        {{"--loop", "2.5"}, 28, "loop=\"2\"", "tessivane-cli: --loop 2.5 is corrected to 2\n"},
        {{"--loop", "-3"}, 28, "loop=\"1\"", "tessivane-cli: --loop -3 is corrected to 1\n"},
        {{"--sound", quoted},
         28,
         "a\"b.wav",
         "tessivane-cli: warning: the sound file will read back as '" + dir.path("a").toUtf8() +
             "'\n"},
    };
    for (const auto& c : cases) {
        const QString out = dir.path("plain.htt");
        QStringList arguments = QStringList{"write", "-o", out} + files();
        if (c.arguments.contains("--sound")) {
            arguments.remove(arguments.indexOf("--sound"), 2);
        }
        const CliRun written = cli(arguments + c.arguments);
        EXPECT_EQ(written.status, 0) << c.arguments.join(' ').toStdString();
        EXPECT_EQ(written.err, c.err) << c.arguments.join(' ').toStdString();
        EXPECT_TRUE(readBytes(out).split('\n')[c.line].contains(c.text))
            << c.arguments.join(' ').toStdString();
    }
}

TEST_F(CliWrite, FromKeepsEveryOtherLineByteForByte) {
    QByteArray legacy = templateBytes();
    legacy.replace("Select an item to view its description.", "S\xE9lectionnez un \xE9l\xE9ment.");
    legacy.replace("%THISDIRNAME%\r\n", "Dossier \xE9t\xE9\r\n");
    const QString from = dir.file("legacy.htt", legacy);
    const QString out = dir.path("again.htt");
    const CliRun written = cli(QStringList{"write", "--from", from, "-o", out} + files());
    ASSERT_EQ(written.status, 0) << written.err.toStdString();
    const QList<QByteArray> before = legacy.split('\n');
    const QList<QByteArray> after = readBytes(out).split('\n');
    ASSERT_EQ(before.size(), after.size());
    for (qsizetype i = 0; i < before.size(); ++i) {
        if (i != 9 && i != 10 && i != 28 && i != 291 && i != 303) {
            EXPECT_EQ(before[i], after[i]) << "line " << i;
        }
    }
    EXPECT_TRUE(cli({"show", out}).out.contains("description: Dossier \xC3\xA9t\xC3\xA9\n"));
}

TEST_F(CliWrite, RefusalsWriteNothing) {
    const QString out = dir.path("never.htt");
    const CliRun missing = cli({"write", "-o", out});  // the template's placeholder files
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err,
              "The file 'C:\\windows\\media\\Nothing.wav' does not exist.  Please specify "
              "another file\n");

    const CliRun missingBack =
        cli({"write", "-o", out, "--sound", sound, "--background", dir.path("nope.gif")});
    EXPECT_EQ(missingBack.status, 1);
    EXPECT_TRUE(missingBack.err.contains("nope.gif' does not exist."));

    const CliRun colour = cli(QStringList{"write", "-o", out, "--colour", "mauve"} + files());
    EXPECT_EQ(colour.status, 2);
    EXPECT_TRUE(colour.err.contains("unknown colour"));

    const CliRun linebreak =
        cli(QStringList{"write", "-o", out, "--description", "a\nb"} + files());
    EXPECT_EQ(linebreak.status, 1);
    EXPECT_FALSE(QFile::exists(out));

    const QString readOnly = dir.file("ro.htt", "keep me\r\n");
    ::chmod(QFile::encodeName(readOnly).constData(), 0444);
    const CliRun refused = cli(QStringList{"write", "-o", readOnly} + files());
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "'" + readOnly.toUtf8() + "' has the read only attribute set.\n");
    EXPECT_EQ(readBytes(readOnly), "keep me\r\n");

    const CliRun noFolder = cli(QStringList{"write", "-o", dir.path("no/such/x.htt")} + files());
    EXPECT_EQ(noFolder.status, 1);
    EXPECT_TRUE(noFolder.err.contains("could not be saved"));
}

TEST(CliUsage, ErrorsExitTwoAndHelpAndVersionAnswer) {
    for (const QStringList& arguments :
         {QStringList{}, QStringList{"frobnicate"}, QStringList{"write"}, QStringList{"show"},
          QStringList{"show", "a", "b"}, QStringList{"template", "x"},
          QStringList{"write", "-o", "x", "--loop", "often"}, QStringList{"show", "--bogus", "x"},
          QStringList{"write", "-o", "x", "--font", "a", "--font", "b"},
          QStringList{"write", "-o", "x", "-o", "y"},
          QStringList{"write", "-o", "x", "--info-size", "big"},
          QStringList{"write", "-o", "x", "--title-size", ""},
          QStringList{"write", "-o", "x", "--description", QString(QChar::ReplacementCharacter)}}) {
        const CliRun run = cli(arguments);
        EXPECT_EQ(run.status, 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains("Usage:")) << arguments.join(' ').toStdString();
    }
    const CliRun help = cli({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.contains("tessivane-cli write"));
    const CliRun version = cli({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(version.out.startsWith("tessivane-cli 1."));
}

}  // namespace
}  // namespace tessivane
