// The main window's layout, menus and keyboard: every control where a person expects it, readable
// and not covered, the tab order and the access keys.
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <vector>

#include "ui/twips.h"
#include "window_fixture.h"

namespace tessivane::testing {
namespace {

QRect twipsRect(const QWidget* widget, int left, int top, int width, int height) {
    const qreal dpiX = widget->logicalDpiX();
    const qreal dpiY = widget->logicalDpiY();
    return QRect(twipsToPixels(left, dpiX), twipsToPixels(top, dpiY), twipsToPixels(width, dpiX),
                 twipsToPixels(height, dpiY));
}

class LayoutTest : public WindowTest {};

// How a control may differ from its twips place at the real font.
enum class Fit {
    Exact,    // frames, text boxes and buttons: exactly as laid out
    Caption,  // sizes itself to its text: same top, never narrower than laid out or than its text
    Yields,   // gives up at most a quarter of its width on one side for a caption or a list
};

struct Placed {
    const char* name;
    const char* parent;  // "" for the window's client area
    int left, top, width, height;
    Fit fit;
};

const Placed kPlaces[] = {
    {"frmFont", "", 120, 120, 7095, 4095, Fit::Exact},
    {"frmSounds", "", 120, 4320, 7095, 1095, Fit::Exact},
    {"frmGraphic", "", 120, 5520, 7095, 2175, Fit::Exact},
    {"Fnts", "frmFont", 120, 240, 5775, 2010, Fit::Yields},
    {"lblCol", "frmFont", 6000, 120, 450, 195, Fit::Caption},
    {"ColSel", "frmFont", 6000, 360, 975, 1815, Fit::Yields},
    {"TSize", "frmFont", 120, 2280, 690, 195, Fit::Caption},
    {"Title", "frmFont", 120, 2520, 1695, 285, Fit::Exact},
    {"ISize", "frmFont", 120, 3360, 1530, 195, Fit::Caption},
    {"Info", "frmFont", 120, 3600, 1695, 285, Fit::Exact},
    {"titleSample", "frmFont", 1920, 2400, 5055, 735, Fit::Yields},
    {"infoSample", "frmFont", 1920, 3240, 5055, 735, Fit::Yields},
    {"Sound", "frmSounds", 120, 360, 6375, 285, Fit::Exact},
    {"Browse1", "frmSounds", 6600, 240, 375, 375, Fit::Exact},
    {"optLoop", "frmSounds", 120, 720, 1335, 255, Fit::Caption},
    {"Number", "frmSounds", 5160, 720, 975, 255, Fit::Caption},
    {"txtLoop", "frmSounds", 6240, 720, 735, 285, Fit::Exact},
    {"lblBck", "frmGraphic", 120, 240, 1395, 195, Fit::Caption},
    {"Bck", "frmGraphic", 120, 480, 6375, 285, Fit::Exact},
    {"Browse2", "frmGraphic", 6600, 480, 375, 375, Fit::Exact},
    {"lblLine", "frmGraphic", 120, 840, 825, 195, Fit::Caption},
    {"Img", "frmGraphic", 120, 1080, 6375, 285, Fit::Exact},
    {"Browse3", "frmGraphic", 6600, 1080, 375, 375, Fit::Exact},
    {"lblFolDesc", "frmGraphic", 120, 1440, 1320, 195, Fit::Caption},
    {"Fol", "frmGraphic", 120, 1680, 6855, 285, Fit::Exact},
};

TEST_F(LayoutTest, EveryControlStandsAtItsTwipsPlaceAndShowsItsWholeCaption) {
    start();
    for (const Placed& placed : kPlaces) {
        SCOPED_TRACE(placed.name);
        const QWidget* widget = control(placed.name);
        ASSERT_NE(widget, nullptr);
        const QWidget* parent =
            *placed.parent != 0 ? control(placed.parent) : window().centralWidget();
        EXPECT_EQ(widget->parentWidget(), parent);
        const QRect laidOut =
            twipsRect(widget, placed.left, placed.top, placed.width, placed.height);
        const QRect actual = widget->geometry();
        switch (placed.fit) {
            case Fit::Exact:
                EXPECT_EQ(actual, laidOut);
                break;
            case Fit::Caption:
                EXPECT_EQ(actual.top(), laidOut.top());
                EXPECT_GE(actual.width(), laidOut.width());
                EXPECT_GE(actual.width(), widget->sizeHint().width());
                EXPECT_GE(actual.height(), widget->sizeHint().height());
                break;
            case Fit::Yields:
                EXPECT_EQ(actual.top(), laidOut.top());
                EXPECT_EQ(actual.height(), laidOut.height());
                EXPECT_TRUE(actual.left() == laidOut.left() || actual.right() == laidOut.right());
                EXPECT_GE(actual.width() * 4, laidOut.width() * 3);
                break;
        }
    }
    // The colour list only moves its left edge, for its names to be read whole, and its caption
    // stays above it; the two samples stay aligned.
    EXPECT_GE(list("ColSel")->width(), twipsRect(list("ColSel"), 0, 0, 975, 0).width());
    EXPECT_EQ(control("lblCol")->x(), list("ColSel")->x());
    EXPECT_EQ(control("titleSample")->geometry().left(), control("infoSample")->geometry().left());
}

TEST_F(LayoutTest, NoControlCoversAnotherAndAllStayInsideTheirFrames) {
    start();
    for (const char* frameName : {"frmFont", "frmSounds", "frmGraphic"}) {
        SCOPED_TRACE(frameName);
        const QWidget* frame = control(frameName);
        const QList<QWidget*> children =
            frame->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
        ASSERT_FALSE(children.isEmpty());
        for (qsizetype i = 0; i < children.size(); ++i) {
            const QRect a = children[i]->geometry();
            EXPECT_TRUE(frame->rect().contains(a)) << children[i]->objectName().toStdString();
            for (qsizetype j = i + 1; j < children.size(); ++j) {
                EXPECT_FALSE(a.intersects(children[j]->geometry()))
                    << children[i]->objectName().toStdString() << " covers "
                    << children[j]->objectName().toStdString();
            }
        }
    }
}

TEST_F(LayoutTest, FramesAndStatusBarFillTheFixedClientAreaWithoutOverlapping) {
    startShown();
    const QWidget* client = window().centralWidget();
    const QRect font = control("frmFont")->geometry();
    const QRect sounds = control("frmSounds")->geometry();
    const QRect graphic = control("frmGraphic")->geometry();
    EXPECT_FALSE(font.intersects(sounds));
    EXPECT_FALSE(sounds.intersects(graphic));
    EXPECT_LT(font.bottom(), sounds.top());
    EXPECT_LT(sounds.bottom(), graphic.top());
    EXPECT_TRUE(client->rect().contains(graphic));

    // The client area, menu bar excluded: the controls' area and the status bar below it.
    const QStatusBar* status = control<QStatusBar>("CurFile");
    EXPECT_EQ(window().statusBar(), status);
    EXPECT_EQ(client->size(), twipsRect(client, 0, 0, 7335, 7815).size());
    EXPECT_EQ(status->height(), twipsRect(client, 0, 0, 0, 375).height());
    EXPECT_EQ(status->width(), client->width());
    EXPECT_EQ(window().height(),
              window().menuBar()->height() + client->height() + status->height());

    // Fixed single border: no resizing and no maximise button.
    EXPECT_EQ(window().minimumSize(), window().maximumSize());
    EXPECT_FALSE(window().windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(window().windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_TRUE(window().windowFlags().testFlag(Qt::WindowCloseButtonHint));
}

TEST_F(LayoutTest, LongPathIsKeptWholeAndNeverWidensTheWindow) {
    startShown();
    const QSize before = window().size();
    const QString path = "/" + QString("a folder with a long name/").repeated(20) + "file.htt";
    window().setCurrentFile(path);
    QTest::qWait(1);
    EXPECT_EQ(window().currentFile(), path);
    EXPECT_EQ(window().size(), before);
    EXPECT_EQ(control<SimpleStatusBar>("CurFile")->simpleText(), path);
}

TEST_F(LayoutTest, WindowIsCentredOnTheScreen) {
    start();
    const QRect screen = window().screen()->availableGeometry();
    EXPECT_LE(std::abs(window().geometry().center().x() - screen.center().x()), 1);
    EXPECT_LE(std::abs(window().geometry().center().y() - screen.center().y()), 1);
}

TEST_F(LayoutTest, ColourListHoldsTheSixteenColoursInOrder) {
    start();
    const QStringList expected = {"Black", "Maroon",  "Green",  "Olive", "Navy", "Purple",
                                  "Teal",  "Grey",    "Silver", "Red",   "Lime", "Yellow",
                                  "Blue",  "Fuchsia", "Aqua",   "White"};
    EXPECT_EQ(list("ColSel")->texts(), expected);
    EXPECT_EQ(list("ColSel")->texts().indexOf("Grey"), 7);
    EXPECT_EQ(list("ColSel")->texts().indexOf("Silver"), 8);
}

TEST_F(LayoutTest, MenusHoldTheirItemsInOrderWithTheirShortcuts) {
    start();
    struct Item {
        const char* name;
        QString caption;  // empty for a separator
        QKeySequence shortcut;
    };
    const std::vector<std::pair<const char*, std::vector<Item>>> menus = {
        {"mnuFile",
         {{"mnuNew", "&New", QKeySequence("Ctrl+N")},
          {"Div3", "", {}},
          {"mnuOpen", "&Open...", QKeySequence("Ctrl+O")},
          {"mnuSave", "&Save...", QKeySequence("Ctrl+S")},
          {"mnuAs", "Save &As...", QKeySequence("F2")},
          {"Div1", "", {}},
          {"mnuExit", "&Exit", QKeySequence("F4")}}},
        {"mnuHelp",
         {{"mnuInfo", "&Information", QKeySequence("F1")},
          {"Div2", "", {}},
          {"mnuAbout", "&About", QKeySequence("Ctrl+A")}}},
    };
    const QList<QAction*> bar = window().menuBar()->actions();
    ASSERT_EQ(bar.size(), 2);
    EXPECT_EQ(bar[0]->text(), "&File");
    EXPECT_EQ(bar[1]->text(), "&Help");
    for (const auto& [menuName, items] : menus) {
        const QMenu* menu = control<QMenu>(menuName);
        const QList<QAction*> actions = menu->actions();
        ASSERT_EQ(actions.size(), qsizetype(items.size())) << menuName;
        for (std::size_t i = 0; i < items.size(); ++i) {
            SCOPED_TRACE(items[i].name);
            const QAction* action = actions[qsizetype(i)];
            EXPECT_EQ(action->objectName(), items[i].name);
            EXPECT_EQ(action->isSeparator(), items[i].caption.isEmpty());
            if (!action->isSeparator()) {
                EXPECT_EQ(action->text(), items[i].caption);
                EXPECT_EQ(action->shortcut(), items[i].shortcut);
                EXPECT_TRUE(action->isEnabled());
                EXPECT_FALSE(action->isCheckable());
            }
        }
    }
}

// The names of the controls that the focus visits when Tab is pressed from Fnts, until it is back.
QStringList tabRound(QWidget* first) {
    QStringList visited;
    first->setFocus(Qt::TabFocusReason);
    for (int i = 0; i < 30; ++i) {
        visited << QApplication::focusWidget()->objectName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        if (QApplication::focusWidget() == first) {
            break;
        }
    }
    return visited;
}

TEST_F(LayoutTest, TabVisitsTheControlsInOrderAndSkipsTheDisabledLoopCount) {
    startShown();
    EXPECT_EQ(QApplication::focusWidget(), list("Fnts")) << "Fnts has the focus at start";

    // The template loops forever: the loop count is disabled and skipped. Both option buttons
    // are visited, whichever is chosen.
    const QStringList withoutLoopCount = {"Fnts",    "ColSel",  "Title",  "Info", "Sound",
                                          "Browse1", "optLoop", "Number", "Bck",  "Browse2",
                                          "Img",     "Browse3", "Fol"};
    EXPECT_EQ(tabRound(list("Fnts")), withoutLoopCount);
    EXPECT_EQ(tabRound(list("Fnts")), withoutLoopCount) << "a second round goes the same way";

    option("Number")->setChecked(true);
    QStringList withLoopCount = withoutLoopCount;
    withLoopCount.insert(withLoopCount.indexOf("Number") + 1, "txtLoop");
    EXPECT_EQ(tabRound(list("Fnts")), withLoopCount);

    // Shift+Tab goes the same way backwards.
    list("Fnts")->setFocus(Qt::TabFocusReason);
    QStringList backwards;
    for (qsizetype i = 0; i < withLoopCount.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        backwards.prepend(QApplication::focusWidget()->objectName());
    }
    EXPECT_EQ(backwards, withLoopCount);
}

struct AccessKey {
    const char* key;
    const char* focused;
};

class AccessKeyTest : public WindowTest, public ::testing::WithParamInterface<AccessKey> {};

TEST_P(AccessKeyTest, MovesTheFocusToItsControl) {
    startShown();
    // Start from controls inside each frame, so that no frame's "last focused" child decides.
    for (const char* from : {"Browse1", "Browse3", "Title", "Fol"}) {
        SCOPED_TRACE(from);
        control(from)->setFocus(Qt::OtherFocusReason);
        QTest::keySequence(&window(), QKeySequence(QString::fromLatin1(GetParam().key)));
        EXPECT_EQ(QApplication::focusWidget()->objectName(), GetParam().focused);
    }
}

INSTANTIATE_TEST_SUITE_P(Keys, AccessKeyTest,
                         ::testing::Values(AccessKey{"Alt+O", "Fnts"}, AccessKey{"Alt+C", "ColSel"},
                                           AccessKey{"Alt+T", "Title"}, AccessKey{"Alt+I", "Info"},
                                           AccessKey{"Alt+S", "Sound"}, AccessKey{"Alt+B", "Bck"},
                                           AccessKey{"Alt+N", "Img"}, AccessKey{"Alt+D", "Fol"}),
                         [](const auto& info) { return std::string(info.param.focused); });

TEST_F(LayoutTest, AltLAndAltPChooseTheLoopOptions) {
    startShown();
    ASSERT_TRUE(option("optLoop")->isChecked());
    QTest::keySequence(&window(), QKeySequence("Alt+P"));
    EXPECT_TRUE(waitFor([&] { return option("Number")->isChecked(); }));
    EXPECT_TRUE(box("txtLoop")->isEnabled());
    QTest::keySequence(&window(), QKeySequence("Alt+L"));
    EXPECT_TRUE(waitFor([&] { return option("optLoop")->isChecked(); }));
    EXPECT_FALSE(box("txtLoop")->isEnabled());
}

}  // namespace
}  // namespace tessivane::testing
