// Start-up and the reader, seen in the window: which document is shown first, the font list,
// and how each setting line's value lands in its control.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QFontDatabase>
#include <QLabel>
#include <QRegularExpression>
#include <algorithm>
#include <functional>
#include <vector>

#include "window_fixture.h"

namespace tessivane::testing {
namespace {

// The row that the template's face "verdana" selects, or the first row when no such font is
// installed (the list keeps the first font that start-up selected).
int expectedTemplateFontRow(const ChoiceList* fonts) {
    const int verdana = int(fonts->texts().indexOf(
        QRegularExpression("^verdana$", QRegularExpression::CaseInsensitiveOption)));
    return verdana >= 0 ? verdana : 0;
}

class StartupTest : public WindowTest {
protected:
    void expectTemplateSettings() {
        EXPECT_EQ(text("Info"), "8");
        EXPECT_EQ(text("Title"), "10");
        EXPECT_EQ(list("ColSel")->text(), "Black");
        EXPECT_EQ(list("Fnts")->chosenRow(), expectedTemplateFontRow(list("Fnts")));
        EXPECT_EQ(text("Sound"), "C:\\windows\\media\\Nothing.wav");
        EXPECT_TRUE(option("optLoop")->isChecked());
        EXPECT_FALSE(option("Number")->isChecked());
        EXPECT_FALSE(box("txtLoop")->isEnabled());
        EXPECT_EQ(text("txtLoop"), "1");
        EXPECT_EQ(text("Bck"), "c:\\Nothing.gif");
        EXPECT_EQ(text("Img"), "c:\\NoLine.gif");
        EXPECT_EQ(text("Fol"), "%THISDIRNAME%");
    }
};

TEST_F(StartupTest, WithoutAFileTheTemplateIsShownUnderTheFirstPlaceholderName) {
    start();
    expectTemplateSettings();
    EXPECT_EQ(window().currentFile(), "HyperText Template1.htt");
    EXPECT_EQ(window().session().newNum, 1);
    EXPECT_EQ(window().session().document.size(), 344u);
    // The samples show the chosen font in the chosen colour on silver.
    const auto* title = control<QLabel>("titleSample");
    EXPECT_EQ(title->text(), list("Fnts")->text());
    EXPECT_DOUBLE_EQ(title->font().pointSizeF(), 10);
    EXPECT_DOUBLE_EQ(control<QLabel>("infoSample")->font().pointSizeF(), 8);
    EXPECT_EQ(title->palette().color(QPalette::Window), QColor(192, 192, 192));
}

TEST_F(StartupTest, FontListHoldsEveryFamilySortedIgnoringCaseWithNoEmptyEntry) {
    start();
    const QStringList listed = list("Fnts")->texts();
    const QStringList families = QFontDatabase::families();
    ASSERT_EQ(listed.size(), families.size());
    EXPECT_FALSE(listed.contains(QString()));
    for (qsizetype i = 1; i < listed.size(); ++i) {
        EXPECT_LE(listed[i - 1].compare(listed[i], Qt::CaseInsensitive), 0)
            << listed[i - 1].toStdString() << " before " << listed[i].toStdString();
    }
    // Each family by its plain name; one that Qt reports for two foundries is listed twice.
    for (const QString& family : families) {
        const QString plain = plainFamilyName(family);
        EXPECT_FALSE(plain.contains(" ["));
        const auto reported =
            std::count_if(families.begin(), families.end(),
                          [&](const QString& f) { return plainFamilyName(f) == plain; });
        EXPECT_EQ(listed.count(plain), reported) << plain.toStdString();
    }
}

TEST_F(StartupTest, OurFileNamedOnTheCommandLineIsShownWithItsPath) {
    const QString path =
        file("saved copy.htt", templateBytes({{9, "body  {font: 12pt/18pt verdana; margin: 0}"},
                                              {10, "{font-weight: bold; color: gray}"},
                                              {28, "<bgsound src=\"file://a b.wav\"loop=\"3\" > "},
                                              {299, "My folder"}}));
    start(path);
    EXPECT_EQ(window().currentFile(), path);
    EXPECT_EQ(window().session().newNum, 1);
    EXPECT_EQ(text("Info"), "12");
    EXPECT_EQ(text("Title"), "18");
    EXPECT_EQ(list("ColSel")->text(), "Grey");
    EXPECT_EQ(text("Sound"), "a b.wav");
    EXPECT_TRUE(option("Number")->isChecked());
    EXPECT_TRUE(box("txtLoop")->isEnabled());
    EXPECT_EQ(text("txtLoop"), "3");
    EXPECT_EQ(text("Fol"), "My folder");
}

TEST_F(StartupTest, AnythingButOurFileGivesTheTemplateSilently) {
    std::vector<std::pair<const char*, QString>> arguments = {
        {"no file", temp.path("missing.htt")},
        {"marker on the first line", file("first.htt", "* WZ.exe\r\nsecond\r\n")},
        {"marker with a trailing space", file("space.htt", "<!--\r\n* WZ.exe \r\n")},
        {"one line", file("one.htt", "<!--\r\n")},
        {"empty", file("empty.htt", "")},
        {"quoted path", "\"" + file("quoted.htt", templateBytes()) + "\""},
        {"a folder", temp.root()},
    };
    for (const auto& [what, argument] : arguments) {
        SCOPED_TRACE(what);
        start(argument);
        expectTemplateSettings();
        EXPECT_EQ(window().currentFile(), "HyperText Template1.htt");
    }
    EXPECT_TRUE(dialogs.shown().empty()) << "start-up refuses a file without a word";
}

// A file that exists but cannot be read: the template, and a warning that names the file. The
// kernel's view of this process's own memory is such a file (reading its start fails).
TEST_F(StartupTest, UnreadableFileNamedOnTheCommandLineIsReportedAndTheTemplateShown) {
    const QString unreadable = "/proc/self/mem";
    if (!QFileInfo(unreadable).isFile()) {
        GTEST_SKIP() << "no " << unreadable.toStdString() << " here";
    }
    dialogs.answer(Dialogs::Answer::Ok);
    start(unreadable);
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.last().title, "File Load Error");
    EXPECT_EQ(dialogs.last().icon, Dialogs::Icon::Exclamation);
    EXPECT_TRUE(dialogs.last().text.startsWith("The file '" + unreadable + "' could not be read: "))
        << dialogs.last().text.toStdString();
    expectTemplateSettings();
    EXPECT_EQ(window().currentFile(), "HyperText Template1.htt");
}

TEST_F(StartupTest, ShortFileNamedOnTheCommandLineStopsWithALoadErrorNamingIt) {
    const QString path =
        file("short.htt", templateBytes({{9, "body  {font: 11pt/13pt x; margin: 0}"}}, 100));
    dialogs.answer(Dialogs::Answer::Ok);
    start(path);
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.last().title, "Load Error");
    EXPECT_EQ(dialogs.last().icon, Dialogs::Icon::Critical);
    EXPECT_EQ(dialogs.last().buttons, Dialogs::Buttons::Ok);
    EXPECT_EQ(dialogs.last().text,
              "There was an error during loading the HTT file '" + path + "'.");
    EXPECT_EQ(window().currentFile(), path);
    // The lines before the missing one were read; the later controls keep their design values.
    EXPECT_EQ(text("Info"), "11");
    EXPECT_EQ(text("Title"), "13");
    EXPECT_EQ(text("Sound"), "C:\\windows\\media\\Nothing.wav");
    EXPECT_EQ(text("Bck"), "");
    EXPECT_EQ(text("Img"), "");
    EXPECT_EQ(text("Fol"), "");
}

// The reader's cases through Open: each starts from the template's settings and opens a file
// with one setting line changed.
struct ReadCase {
    const char* what;
    int line;
    const char* text;
    std::function<void(WindowTest&)> check;
};

class ReaderTest : public WindowTest, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(ReaderTest, SettingLineLandsInItsControl) {
    start();
    const ReadCase& c = GetParam();
    const QString path = file("read.htt", templateBytes({{c.line, c.text}}));
    openThroughMenu(path);
    EXPECT_EQ(window().currentFile(), path);
    c.check(*this);
}

const ReadCase kReadCases[] = {
    {"sizes and a face with spaces, in another letter case", 9,
     "body  {font: 12pt/18pt dejavu sans mono; margin: 0}",
     [](WindowTest& t) {
         EXPECT_EQ(t.box("Info")->text(), "12");
         EXPECT_EQ(t.box("Title")->text(), "18");
         EXPECT_EQ(t.list("Fnts")->text(), "DejaVu Sans Mono");
         EXPECT_EQ(t.control<QLabel>("titleSample")->text(), "DejaVu Sans Mono");
     }},
    {"sizes without a face keep the font", 9, "body  {font: 14pt/16pt",
     [](WindowTest& t) {
         EXPECT_EQ(t.box("Info")->text(), "14");
         EXPECT_EQ(t.box("Title")->text(), "16");
         EXPECT_EQ(t.list("Fnts")->chosenRow(), expectedTemplateFontRow(t.list("Fnts")));
     }},
    {"an unknown face keeps the font", 9, "body  {font: 8pt/10pt No Such Face; margin: 0}",
     [](WindowTest& t) {
         EXPECT_EQ(t.list("Fnts")->chosenRow(), expectedTemplateFontRow(t.list("Fnts")));
     }},
    {"sizes out of range are corrected", 9, "body  {font: 0pt/5000pt x; margin: 0}",
     [](WindowTest& t) {
         EXPECT_EQ(t.box("Info")->text(), "1");
         EXPECT_EQ(t.box("Title")->text(), "2160");
     }},
    {"sizes that are no numbers take the fallbacks", 9, "body  {font: apt/bpt x; margin: 0}",
     [](WindowTest& t) {
         EXPECT_EQ(t.box("Info")->text(), "8");
         EXPECT_EQ(t.box("Title")->text(), "10");
     }},
    {"gray reads as Grey", 10, "{font-weight: bold; color: gray}",
     [](WindowTest& t) { EXPECT_EQ(t.list("ColSel")->text(), "Grey"); }},
    {"Gray with a capital is no list colour", 10, "{font-weight: bold; color: Gray}",
     [](WindowTest& t) {
         EXPECT_EQ(t.list("ColSel")->chosenRow(), -1);
         EXPECT_EQ(t.control<QLabel>("titleSample")->palette().color(QPalette::Window),
                   QColor(192, 192, 192));
     }},
    {"silver", 10, "{font-weight: bold; color: SILVER}",
     [](WindowTest& t) {
         EXPECT_EQ(t.list("ColSel")->text(), "Silver");
         EXPECT_EQ(t.control<QLabel>("infoSample")->palette().color(QPalette::Window),
                   QColor(Qt::black));
     }},
    {"loop 3", 28, "<bgsound src=\"file://s.wav\"loop=\"3\" > ",
     [](WindowTest& t) {
         EXPECT_EQ(t.box("Sound")->text(), "s.wav");
         EXPECT_TRUE(t.option("Number")->isChecked());
         EXPECT_TRUE(t.box("txtLoop")->isEnabled());
         EXPECT_EQ(t.box("txtLoop")->text(), "3");
     }},
    {"loop 0 becomes 1", 28, "<bgsound src=\"file://s.wav\"loop=\"0\">",
     [](WindowTest& t) {
         EXPECT_TRUE(t.option("Number")->isChecked());
         EXPECT_TRUE(t.box("txtLoop")->isEnabled());
         EXPECT_EQ(t.box("txtLoop")->text(), "1");
     }},
    {"loop infinite", 28, "<bgsound src=\"file://s.wav\"loop=\"infinite\" > ",
     [](WindowTest& t) {
         EXPECT_TRUE(t.option("optLoop")->isChecked());
         EXPECT_FALSE(t.box("txtLoop")->isEnabled());
     }},
    {"empty sound path", 28, "<bgsound src=\"file://\"loop=\"infinite\">",
     [](WindowTest& t) { EXPECT_EQ(t.box("Sound")->text(), ""); }},
    {"panel line without its prefix", 291, "something else entirely",
     [](WindowTest& t) { EXPECT_EQ(t.box("Bck")->text(), "something else entirely"); }},
    {"line image", 303, "<img src=\"/pics/line one.gif\" width=100% height=1px>",
     [](WindowTest& t) { EXPECT_EQ(t.box("Img")->text(), "/pics/line one.gif"); }},
    {"description keeps its leading spaces", 299, "  %THISDIRPATH% here",
     [](WindowTest& t) { EXPECT_EQ(t.box("Fol")->text(), "  %THISDIRPATH% here"); }},
};

INSTANTIATE_TEST_SUITE_P(Lines, ReaderTest, ::testing::ValuesIn(kReadCases),
                         [](const auto& info) { return "case" + std::to_string(info.index); });

TEST_F(WindowTest, ShortDocumentOpenedStopsAtTheMissingLineAndKeepsTheRest) {
    start();
    box("Bck")->setText("/keep/bck.gif");
    box("Img")->setText("/keep/img.gif");
    box("Fol")->setText("kept");
    const QString path =
        file("short.htt", templateBytes({{9, "body  {font: 20pt/30pt x; margin: 0}"},
                                         {10, "{font-weight: bold; color: Lime}"},
                                         {28, "<bgsound src=\"file://new.wav\"loop=\"5\">"}},
                                        100));
    dialogs.answer(Dialogs::Answer::No);
    dialogs.choose(path);
    dialogs.answer(Dialogs::Answer::Ok);
    window().mnuOpen_Click();
    EXPECT_EQ(dialogs.last().title, "Load Error");
    EXPECT_EQ(dialogs.last().text,
              "There was an error during loading the HTT file '" + path + "'.");
    EXPECT_EQ(text("Info"), "20");
    EXPECT_EQ(text("Title"), "30");
    EXPECT_EQ(list("ColSel")->text(), "Lime");
    EXPECT_EQ(text("Sound"), "new.wav");
    EXPECT_EQ(text("txtLoop"), "5");
    EXPECT_EQ(text("Bck"), "/keep/bck.gif");
    EXPECT_EQ(text("Img"), "/keep/img.gif");
    EXPECT_EQ(text("Fol"), "kept");
    EXPECT_EQ(window().currentFile(), path);
}

}  // namespace
}  // namespace tessivane::testing
