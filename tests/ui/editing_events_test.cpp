// SPDX-License-Identifier: MIT
// Editing in the main window: sizes and the loop count corrected as they change, the loop-count
// box following the loop mode, and the two samples following the font, colour and sizes.
#include <gtest/gtest.h>

#include <QElapsedTimer>

#include "window_fixture.h"

namespace tessivane::testing {
namespace {

struct Correction {
    const char* entered;
    const char* info;   // what the information size box then holds
    const char* title;  // what the title size box then holds
    const char* loop;   // what the loop-count box then holds
};

// Each kind of correction once, and the limits (1 and 2160 for sizes; no upper one for loops).
const Correction kCorrections[] = {
    {"", "8", "10", "1"},
    {"x", "8", "10", "1"},
    {"-5", "1", "1", "1"},
    {"0.5", "1", "1", "1"},
    {"12.5", "12.5", "12.5", "12.5"},
    {"2160", "2160", "2160", "2160"},
    {"2161", "2160", "2160", "2161"},
    {"1e3", "1e3", "1e3", "1e3"},
};

class CorrectionTest : public WindowTest, public ::testing::WithParamInterface<Correction> {};

// Each sample shows its own box's corrected size, and only its own, and paints quickly even at
// the largest size.
TEST_P(CorrectionTest, BoxesAreCorrectedAsTheyChangeAndEachSampleFollowsItsBox) {
    start();
    // Values other than the fallbacks, so that a box put back to its previous value is seen.
    option("Number")->setChecked(true);
    box("txtLoop")->setText("7");
    box("Info")->setText("14");
    box("Title")->setText("30");
    const Correction& c = GetParam();
    const auto sampleSize = [&](const char* name) {
        return control<QLabel>(name)->font().pointSizeF();
    };
    QElapsedTimer timer;
    timer.start();
    box("Info")->setText(c.entered);
    EXPECT_EQ(text("Info"), c.info);
    EXPECT_DOUBLE_EQ(sampleSize("infoSample"), QString(c.info).toDouble());
    EXPECT_DOUBLE_EQ(sampleSize("titleSample"), 30);
    box("Title")->setText(c.entered);
    EXPECT_EQ(text("Title"), c.title);
    EXPECT_DOUBLE_EQ(sampleSize("titleSample"), QString(c.title).toDouble());
    EXPECT_DOUBLE_EQ(sampleSize("infoSample"), QString(c.info).toDouble());
    EXPECT_FALSE(control("titleSample")->grab().isNull() || control("infoSample")->grab().isNull());
    EXPECT_LT(timer.elapsed(), 1500);
    box("txtLoop")->setText(c.entered);
    EXPECT_EQ(text("txtLoop"), c.loop);
}

INSTANTIATE_TEST_SUITE_P(Entries, CorrectionTest, ::testing::ValuesIn(kCorrections));

// The loop-count box is enabled only while "Loop for" is chosen and keeps its text while disabled;
// a new sound path disables it and leaves the loop choice.
TEST_F(WindowTest, LoopCountBoxFollowsTheLoopModeAndTheSoundPath) {
    start();
    option("Number")->setChecked(true);
    box("txtLoop")->setText("7");
    option("optLoop")->setChecked(true);
    expectStates("txtLoop=7 (disabled)");
    option("Number")->setChecked(true);
    expectStates("txtLoop=7");
    box("Sound")->setText("/somewhere/else.wav");
    expectStates("txtLoop=7 (disabled)|Number=on");
}

// Silver text is shown on black, every other colour (and no colour, as black) on silver; both
// samples show the chosen font's name in that font. Only the user's choice chooses a colour:
// entering the list empty-handed chooses nothing, and Ctrl+click cannot unchoose.
TEST_F(WindowTest, SamplesFollowTheColourAndTheFontAndTheColourStaysChosen) {
    startShown(file("grey.htt", templateBytes({{10, "{font-weight: bold; color: Gray}"}})));
    ChoiceList* colours = list("ColSel");
    list("Fnts")->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(list("Fnts"), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), colours);
    expectStates("ColSel=|titleSample=#000000 on #c0c0c0|infoSample=#000000 on #c0c0c0");
    QTest::keyClick(colours, Qt::Key_Down);
    EXPECT_NE(colours->chosenRow(), -1);

    for (const auto& [colour, shown] :
         {std::pair{"Silver", "#c0c0c0 on #000000"}, std::pair{"Navy", "#000080 on #c0c0c0"},
          std::pair{"", "#000000 on #c0c0c0"}, std::pair{"Red", "#ff0000 on #c0c0c0"}}) {
        colours->setCurrentRow(int(colours->texts().indexOf(colour)));
        expectStates(QString("titleSample=%1|infoSample=%1").arg(shown));
    }
    const int red = colours->chosenRow();
    colours->scrollToItem(colours->item(red));
    QTest::mouseClick(colours->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      colours->visualItemRect(colours->item(red)).center());
    expectStates("ColSel=Red|titleSample=#ff0000 on #c0c0c0");

    colours->setCurrentRow(int(colours->texts().indexOf("Silver")));
    const QImage painted = control("titleSample")->grab().toImage();
    EXPECT_EQ(painted.pixelColor(3, 3), QColor(Qt::black)) << "the background is painted";
    ChoiceList* fonts = list("Fnts");
    fonts->setCurrentRow(fonts->count() - 1);
    for (const char* name : {"titleSample", "infoSample"}) {
        EXPECT_EQ(control<QLabel>(name)->text(), fonts->text()) << name;
        EXPECT_EQ(control<QLabel>(name)->font().family(), fonts->text()) << name;
    }
}

}  // namespace
}  // namespace tessivane::testing
