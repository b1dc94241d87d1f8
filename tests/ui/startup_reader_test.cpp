// SPDX-License-Identifier: MIT
// Start-up and the reader, seen in the window: which document is shown first, the font list,
// and how each setting line's value lands in its control.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QFontDatabase>
#include <QRegularExpression>
#include <QtEndian>
#include <algorithm>

#include "window_fixture.h"

namespace tessivane::testing {
namespace {

// The font list's entry for a face, found ignoring case, or the fallback when it is not installed.
QString listedFace(const ChoiceList* fonts, const QString& face, const QString& fallback) {
    for (const QString& listed : fonts->texts()) {
        if (listed.compare(face, Qt::CaseInsensitive) == 0) {
            return listed;
        }
    }
    return fallback;
}

class StartupTest : public WindowTest {
protected:
    void expectTemplate() {
        expectStates(
            "Info=8|Title=10|ColSel=Black|Sound=C:\\windows\\media\\Nothing.wav|optLoop=on|"
            "txtLoop=1 (disabled)|Bck=c:\\Nothing.gif|Img=c:\\NoLine.gif|Fol=%THISDIRNAME%");
        // The template's face, or the first font that start-up chose when it is not installed.
        EXPECT_EQ(list("Fnts")->text(),
                  listedFace(list("Fnts"), "verdana", list("Fnts")->item(0)->text()));
        EXPECT_EQ(window().currentFile(), "HyperText Template1.htt");
    }
};

// Anything but our file gives the template: silently for no file, a missing file or a folder; with
// a warning naming it for a file that cannot be read (the kernel's view of this process's memory).
TEST_F(StartupTest, WithoutOurFileTheTemplateIsShown) {
    for (const QString& argument : {QString(), temp.path("missing.htt"), temp.root()}) {
        SCOPED_TRACE(argument.toStdString());
        start(argument);
        expectTemplate();
    }
    EXPECT_TRUE(dialogs.shown().empty());
    const QString unreadable = "/proc/self/mem";
    if (QFileInfo(unreadable).isFile()) {
        dialogs.answer(Dialogs::Answer::Ok);
        start(unreadable);
        ASSERT_EQ(dialogs.shown().size(), 1u);
        EXPECT_EQ(dialogs.last().title, "File Load Error");
        EXPECT_EQ(dialogs.last().icon, Dialogs::Icon::Exclamation);
        EXPECT_TRUE(
            dialogs.last().text.startsWith("The file '" + unreadable + "' could not be read: "));
        expectTemplate();
    }
}

TEST_F(StartupTest, OurFileNamedOnTheCommandLineIsShownWithItsPath) {
    const QString path =
        file("saved copy.htt",
             templateBytes({{9, "body  {font: 12pt/18pt x; margin: 0}"},
                            {10, "{font-weight: bold; color: gray}"},
                            {28, "<bgsound src=\"file://a b.wav\"loop=\"3\" > "},
                            {291, "<div id=Panel style=\"background: white URL(file://p.gif)\">"},
                            {299, "My folder"},
                            {303, "<img src=\"l.gif\" width=100% height=1px>"}}));
    start(path);
    EXPECT_EQ(window().currentFile(), path);
    expectStates(
        "Info=12|Title=18|ColSel=Grey|Sound=a b.wav|Number=on|txtLoop=3|Bck=p.gif|"
        "Img=l.gif|Fol=My folder");
}

// A copy of a TrueType font that names another maker (the vendor in its OS/2 table), so that
// its family comes from two foundries.
QByteArray withVendor(QByteArray font, const char* vendor) {
    const int tables = qFromBigEndian<quint16>(font.constData() + 4);
    for (int i = 0; i < tables; ++i) {
        const char* record = font.constData() + 12 + 16 * i;
        if (QByteArray(record, 4) == "OS/2") {
            font.replace(qFromBigEndian<quint32>(record + 8) + 58, 4, QByteArray(vendor, 4));
        }
    }
    return font;
}

TEST_F(StartupTest, FontListHoldsEveryFamilyOnceByItsPlainNameSortedIgnoringCase) {
    const QByteArray font = readBytes("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
    ASSERT_FALSE(font.isEmpty()) << "fonts-dejavu-core is installed with the build tools";
    for (const auto& vendor : {"TsvA", "TsvB"}) {
        ASSERT_GE(QFontDatabase::addApplicationFontFromData(withVendor(font, vendor)), 0);
    }
    ASSERT_GE(QFontDatabase::families().filter(QRegularExpression("^DejaVu Sans \\[")).size(), 2);
    start();
    QStringList listed = list("Fnts")->texts();
    EXPECT_TRUE(std::is_sorted(
        listed.begin(), listed.end(),
        [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; }));
    QStringList families;
    for (const QString& family : QFontDatabase::families()) {
        families << plainFamilyName(family);
    }
    families.removeDuplicates();
    std::sort(listed.begin(), listed.end());
    std::sort(families.begin(), families.end());
    EXPECT_EQ(listed, families) << "each family once, by its plain name, and no empty entry";
    EXPECT_FALSE(listed.join('\n').contains(" ["));
}

// A document too short to hold every setting line: the lines before the missing one are read,
// then the Load Error names the file. At start-up the later boxes keep their design values (empty);
// after Open they keep what they held.
TEST_F(WindowTest, ShortDocumentOpenedStopsAtTheMissingLineAndKeepsTheRest) {
    const QString first =
        file("first.htt", templateBytes({{9, "body  {font: 11pt/13pt x; margin: 0}"}}, 100));
    dialogs.answer(Dialogs::Answer::Ok);
    start(first);
    EXPECT_EQ(dialogs.last().title, "Load Error");
    EXPECT_EQ(dialogs.last().icon, Dialogs::Icon::Critical);
    EXPECT_EQ(dialogs.last().buttons, Dialogs::Buttons::Ok);
    EXPECT_EQ(dialogs.last().text,
              "There was an error during loading the HTT file '" + first + "'.");
    EXPECT_EQ(window().currentFile(), first);
    expectStates("Info=11|Title=13|Sound=C:\\windows\\media\\Nothing.wav|Bck=|Img=|Fol=");

    box("Bck")->setText("/keep/bck.gif");
    box("Fol")->setText("kept");
    const QString second =
        file("second.htt", templateBytes({{9, "body  {font: 20pt/30pt x; margin: 0}"},
                                          {10, "{font-weight: bold; color: Lime}"},
                                          {28, "<bgsound src=\"file://new.wav\"loop=\"5\">"}},
                                         100));
    dialogs.answer(Dialogs::Answer::No);
    dialogs.choose(second);
    dialogs.answer(Dialogs::Answer::Ok);
    window().mnuOpen_Click();
    EXPECT_EQ(dialogs.last().text,
              "There was an error during loading the HTT file '" + second + "'.");
    EXPECT_EQ(window().currentFile(), second);
    expectStates("Info=20|Title=30|ColSel=Lime|Sound=new.wav|txtLoop=5|Bck=/keep/bck.gif|Fol=kept");
}

// The reader's edge cases through Open: a file with one setting line changed, opened over the
// template with the loop count and the last font chosen.
struct ReadCase {
    const char* what;
    int line;
    const char* text;
    const char* states;     // as expectStates takes them
    const char* face = "";  // the font looked for; when it is not installed the font stays
};

class ReaderTest : public WindowTest, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(ReaderTest, SettingLineLandsInItsControl) {
    start();
    option("Number")->setChecked(true);
    ChoiceList* fonts = list("Fnts");
    fonts->setCurrentRow(fonts->count() - 1);
    const QString font = fonts->text();
    const ReadCase& c = GetParam();
    openThroughMenu(file("read.htt", templateBytes({{c.line, c.text}})));
    expectStates(c.states);
    if (*c.face != 0) {
        EXPECT_EQ(fonts->text(), listedFace(fonts, c.face, font));
    }
}

const ReadCase kReadCases[] = {
    {"FaceInAnotherLetterCase", 9, "body  {font: 12pt/18pt dejavu sans mono; margin: 0}", "",
     "dejavu sans mono"},
    {"TimesNewRoman", 9, "body  {font: 9pt/12.5pt Times New Roman; margin: 0}", "Title=12.5",
     "Times New Roman"},
    {"MissingFaceKeepsTheFont", 9, "body  {font: 8pt/10pt No Such Face; margin: 0}", "",
     "No Such Face"},
    {"UnknownColourChoosesNone", 10, "{font-weight: bold; color: Gray}",
     "ColSel=|titleSample=#000000 on #c0c0c0"},
    {"SilverInCapitals", 10, "{font-weight: bold; color: SILVER}", "ColSel=Silver"},
    {"Loop3", 28, "<bgsound src=\"file://s.wav\"loop=\"3\" > ", "Sound=s.wav|Number=on|txtLoop=3"},
    {"Loop0BecomesOne", 28, "<bgsound src=\"file://s.wav\"loop=\"0\">", "Number=on|txtLoop=1"},
    {"LoopInfinite", 28, "<bgsound src=\"file://s.wav\"loop=\"infinite\" > ",
     "optLoop=on|txtLoop=1 (disabled)"},
    {"EmptySoundPath", 28, "<bgsound src=\"file://\"loop=\"infinite\">", "Sound="},
};

INSTANTIATE_TEST_SUITE_P(Lines, ReaderTest, ::testing::ValuesIn(kReadCases),
                         [](const auto& info) { return std::string(info.param.what); });

}  // namespace
}  // namespace tessivane::testing
