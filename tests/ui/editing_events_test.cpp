// Editing in the main window: sizes and the loop count corrected as they change, the loop-count
// box following the loop mode, and the two samples following the font, colour and sizes.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFontInfo>
#include <QLabel>
#include <vector>

#include "window_fixture.h"

namespace tessivane::testing {
namespace {

struct Correction {
    const char* entered;
    const char* info;   // what the information size box then holds
    const char* title;  // what the title size box then holds
    const char* loop;   // what the loop-count box then holds
};

const Correction kCorrections[] = {
    {"", "8", "10", "1"},
    {"x", "8", "10", "1"},
    {"-", "8", "10", "1"},
    {"0", "1", "1", "1"},
    {"-5", "1", "1", "1"},
    {"-3", "1", "1", "1"},
    {"0.5", "1", "1", "1"},
    {"1", "1", "1", "1"},
    {"12.5", "12.5", "12.5", "12.5"},
    {"2.5", "2.5", "2.5", "2.5"},
    {"2160", "2160", "2160", "2160"},
    {"2161", "2160", "2160", "2161"},
    {"5000", "2160", "2160", "5000"},
    {"1000000", "2160", "2160", "1000000"},
    {"1e3", "1e3", "1e3", "1e3"},
};

class CorrectionTest : public WindowTest, public ::testing::WithParamInterface<Correction> {};

TEST_P(CorrectionTest, BoxesAreCorrectedAsTheyChange) {
    start();
    option("Number")->setChecked(true);
    const Correction& c = GetParam();
    box("Info")->setText(QString::fromLatin1(c.entered));
    box("Title")->setText(QString::fromLatin1(c.entered));
    box("txtLoop")->setText(QString::fromLatin1(c.entered));
    EXPECT_EQ(text("Info"), c.info);
    EXPECT_EQ(text("Title"), c.title);
    EXPECT_EQ(text("txtLoop"), c.loop);
    // The samples show the size that stands after the correction.
    EXPECT_DOUBLE_EQ(control<QLabel>("infoSample")->font().pointSizeF(),
                     QString(c.info).toDouble());
    EXPECT_DOUBLE_EQ(control<QLabel>("titleSample")->font().pointSizeF(),
                     QString(c.title).toDouble());
}

INSTANTIATE_TEST_SUITE_P(Entries, CorrectionTest, ::testing::ValuesIn(kCorrections));

TEST_F(WindowTest, TypingALetterOverASizeGivesTheFallbackNotThePreviousValue) {
    startShown();
    for (const auto& [name, fallback] : {std::pair{"Info", "8"}, std::pair{"Title", "10"}}) {
        QLineEdit* size = box(name);
        size->setText("12");
        size->setFocus();
        size->selectAll();
        QTest::keyClicks(size, "q");
        EXPECT_EQ(size->text(), fallback) << name;
    }
}

TEST_F(WindowTest, DeletingTheWholeTextPutsTheFallbackBack) {
    startShown();
    option("Number")->setChecked(true);
    for (const auto& [name, fallback] :
         {std::pair{"Info", "8"}, std::pair{"Title", "10"}, std::pair{"txtLoop", "1"}}) {
        QLineEdit* edited = box(name);
        edited->setText("47");
        edited->setFocus();
        edited->selectAll();
        QTest::keyClick(edited, Qt::Key_Backspace);
        EXPECT_EQ(edited->text(), fallback) << name;
    }
}

TEST_F(WindowTest, ChangingOneSizeLeavesTheOtherSampleAlone) {
    start();
    const auto* title = control<QLabel>("titleSample");
    const auto* info = control<QLabel>("infoSample");
    box("Info")->setText("14");
    box("Title")->setText("30");
    EXPECT_DOUBLE_EQ(title->font().pointSizeF(), 30);
    EXPECT_DOUBLE_EQ(info->font().pointSizeF(), 14);
    box("Title")->setText("31");
    EXPECT_DOUBLE_EQ(info->font().pointSizeF(), 14);
    box("Info")->setText("15");
    EXPECT_DOUBLE_EQ(title->font().pointSizeF(), 31);
}

TEST_F(WindowTest, LoopCountBoxFollowsTheLoopModeAndTheSoundPath) {
    start();
    QLineEdit* count = box("txtLoop");
    option("Number")->setChecked(true);
    EXPECT_TRUE(count->isEnabled());
    count->setText("7");

    option("optLoop")->setChecked(true);
    EXPECT_FALSE(count->isEnabled());
    EXPECT_EQ(count->text(), "7") << "disabling keeps the text";

    option("Number")->setChecked(true);
    EXPECT_TRUE(count->isEnabled());
    EXPECT_EQ(count->text(), "7");

    // A change of the sound path disables the box, and the loop choice stays.
    box("Sound")->setText("/somewhere/else.wav");
    EXPECT_FALSE(count->isEnabled());
    EXPECT_TRUE(option("Number")->isChecked());
}

QColor background(const QLabel* label) {
    return label->palette().color(QPalette::Window);
}
QColor foreground(const QLabel* label) {
    return label->palette().color(QPalette::WindowText);
}

TEST_F(WindowTest, SilverTextIsShownOnBlackAndEveryOtherColourOnSilver) {
    start();
    const auto* title = control<QLabel>("titleSample");
    const auto* info = control<QLabel>("infoSample");
    ChoiceList* colours = list("ColSel");
    const QColor silver(192, 192, 192);

    colours->setCurrentRow(colours->texts().indexOf("Silver"));
    for (const QLabel* sample : {title, info}) {
        EXPECT_EQ(background(sample), QColor(Qt::black));
        EXPECT_EQ(foreground(sample), silver);
        EXPECT_TRUE(sample->autoFillBackground());
    }
    const std::vector<std::pair<const char*, QColor>> others = {
        {"Red", QColor(255, 0, 0)}, {"Grey", QColor(128, 128, 128)}, {"Navy", QColor(0, 0, 128)}};
    for (const auto& [name, colour] : others) {
        colours->setCurrentRow(colours->texts().indexOf(name));
        for (const QLabel* sample : {title, info}) {
            EXPECT_EQ(background(sample), silver) << name;
            EXPECT_EQ(foreground(sample), colour) << name;
        }
    }
    // No colour chosen: black text on silver.
    colours->setCurrentRow(-1);
    box("Title")->setText("11");
    EXPECT_EQ(background(title), silver);
    EXPECT_EQ(foreground(title), QColor(Qt::black));
}

TEST_F(WindowTest, ChoosingAFontShowsItsNameInThatFontInBothSamples) {
    start();
    ChoiceList* fonts = list("Fnts");
    ASSERT_GE(fonts->count(), 2);
    fonts->setCurrentRow(fonts->count() - 1);
    const QString face = fonts->text();
    for (const char* name : {"titleSample", "infoSample"}) {
        const auto* sample = control<QLabel>(name);
        EXPECT_EQ(sample->text(), face) << name;
        EXPECT_EQ(sample->font().family(), face) << name;
    }
}

TEST_F(WindowTest, TheChosenColourCannotBeUnchosenByCtrlClick) {
    startShown();
    ChoiceList* colours = list("ColSel");
    const int red = int(colours->texts().indexOf("Red"));
    colours->setCurrentRow(red);
    colours->scrollToItem(colours->item(red));
    const QRect itemRect = colours->visualItemRect(colours->item(red));
    QTest::mouseClick(colours->viewport(), Qt::LeftButton, Qt::ControlModifier, itemRect.center());
    EXPECT_EQ(colours->text(), "Red");
    EXPECT_EQ(foreground(control<QLabel>("titleSample")), QColor(255, 0, 0));
}

TEST_F(WindowTest, EnteringTheColourListWithoutAChoiceChoosesNothing) {
    const QString path =
        file("grey.htt", templateBytes({{10, "{font-weight: bold; color: Gray}"}}));
    startShown(path);
    ChoiceList* colours = list("ColSel");
    ASSERT_EQ(colours->chosenRow(), -1);
    list("Fnts")->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(list("Fnts"), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), colours);
    EXPECT_EQ(colours->text(), "");
    EXPECT_EQ(foreground(control<QLabel>("titleSample")), QColor(Qt::black));
    // Choosing with the keyboard then takes the colour.
    QTest::keyClick(colours, Qt::Key_Down);
    EXPECT_FALSE(colours->text().isEmpty());
}

// The largest size must not make the window unresponsive: painting both samples at 2160 points
// stays quick.
TEST_F(WindowTest, LargestSizeKeepsTheWindowResponsive) {
    startShown();
    QElapsedTimer timer;
    timer.start();
    box("Title")->setText("2160");
    box("Info")->setText("2160");
    const QImage title = control<QLabel>("titleSample")->grab().toImage();
    const QImage info = control<QLabel>("infoSample")->grab().toImage();
    QTest::qWait(1);
    EXPECT_LT(timer.elapsed(), 1500);
    EXPECT_FALSE(title.isNull());
    EXPECT_FALSE(info.isNull());
    EXPECT_DOUBLE_EQ(control<QLabel>("titleSample")->font().pointSizeF(), 2160);
}

}  // namespace
}  // namespace tessivane::testing
